#include "about/frmAbout.h"

#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"
#include "ui/LedLabel.h"

#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Receives the links the desktop is asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder()
    {
        for (const char* scheme : {"https", "http", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~UrlRecorder() override
    {
        for (const char* scheme : {"https", "http", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

void writeExecutable(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(About, CaptionLabelsAndFaces)
{
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Kobaltuneのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about.Label2[0]->caption(), QStringLiteral("Kobaltune【マルチメディアプレーヤー】"));
    EXPECT_EQ(about.Label2[1]->caption(), QStringLiteral("Ver1.0.8"));
    EXPECT_EQ(about.cmdSysInfo->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
    EXPECT_EQ(about.cmdOK->text(), QStringLiteral("OK"));
    // The labels' face resolves to the Japanese proportional Gothic.
    EXPECT_EQ(QFontInfo(about.Label3->font()).family(), QStringLiteral("IPAPGothic"));
}

TEST(About, LinksTurnRedUnderTheMouseAndBlueAgainOverTheForm)
{
    frmAbout about;
    about.show();
    LedLabel* web = about.Label4[1];
    LedLabel* mail = about.Label4[2];
    EXPECT_EQ(web->foreColor(), frmAbout::kLinkColor);
    QTest::mouseMove(web, QPoint(3, 3));
    EXPECT_EQ(web->foreColor(), frmAbout::kHoverColor);
    EXPECT_EQ(mail->foreColor(), frmAbout::kLinkColor);
    QTest::mouseMove(&about, QPoint(4, about.height() - 4));
    EXPECT_EQ(web->foreColor(), frmAbout::kLinkColor);
    QTest::mouseMove(mail, QPoint(3, 3));
    EXPECT_EQ(mail->foreColor(), frmAbout::kHoverColor);
}

TEST(About, ADoubleClickOpensALinkOnceAndASingleClickNothing)
{
    UrlRecorder recorder;
    frmAbout about;
    about.show();
    QTest::mouseClick(about.Label4[1], Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(recorder.opened.isEmpty());

    QTest::mouseClick(about.Label4[1], Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseDClick(about.Label4[1], Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0].scheme(), "https");

    QTest::mouseDClick(about.Label4[2], Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(recorder.opened.size(), 2);
    EXPECT_EQ(recorder.opened[1].scheme(), "mailto");
    EXPECT_EQ(recorder.opened[1].path(), about.Label4[2]->caption());
}

TEST(About, SystemInformationStartsTheDesktopsProgramOrSaysItIsUnavailable)
{
    kbtest::TempDir dir;
    QStringList messages;
    frmAbout about;
    about.message = [&](const QString& text) { messages << text; };
    about.sysInfoSearch = {{dir.file("applications")}, {dir.file("bin")}};
    about.cmdSysInfo->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません")});

    // A desktop entry in System;Monitor whose program leaves a mark when it runs.
    QDir().mkpath(dir.file("applications"));
    QDir().mkpath(dir.file("bin"));
    writeExecutable(dir.file("bin/machine-info"),
                    "#!/bin/sh\necho \"$1\" > \"" + dir.file("started").toUtf8() + "\"\n");
    QFile entry(dir.file("applications/machine-info.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Machine\nExec=machine-info --summary %U\n"
                "Categories=GTK;System;Monitor;\n");
    entry.close();
    about.cmdSysInfo->click();
    EXPECT_EQ(messages.size(), 1) << "the message came although a program is there";
    ASSERT_TRUE(kbtest::eventually([&] { return QFile::exists(dir.file("started")); }, 10000));
    QFile started(dir.file("started"));
    ASSERT_TRUE(started.open(QIODevice::ReadOnly));
    EXPECT_EQ(started.readAll().trimmed(), "--summary");
}

} // namespace

#include "AboutTest.moc"
