#include "browser/FileIcons.h"
#include "browser/FileTypes.h"

#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeDatabase>

#include <gtest/gtest.h>

using kbtest::TempDir;

namespace {

// A private desktop: one application that is the default for WAVE audio, with its own icon.
class PrivateDesktop : public ::testing::Test {
protected:
    PrivateDesktop()
    {
        saved_ = {qgetenv("XDG_CONFIG_HOME"), qgetenv("XDG_DATA_HOME")};
        QDir(dir.path()).mkpath("config");
        QDir(dir.path()).mkpath("data/applications");
        qputenv("XDG_CONFIG_HOME", dir.file("config").toUtf8());
        qputenv("XDG_DATA_HOME", dir.file("data").toUtf8());

        icon = dir.file("player.png");
        QImage red(16, 16, QImage::Format_RGB32);
        red.fill(Qt::red);
        red.save(icon);
        wavType = QMimeDatabase().mimeTypeForFile("x.wav", QMimeDatabase::MatchExtension).name();
        writeText("data/applications/kb-player.desktop",
                  "[Desktop Entry]\nType=Application\nName=Player\nExec=\"/opt/kb player/play\" %U\nIcon=" + icon + "\n");
        writeText("config/mimeapps.list", "[Default Applications]\n" + wavType + "=missing.desktop;kb-player.desktop;\n");
    }
    ~PrivateDesktop() override
    {
        qputenv("XDG_CONFIG_HOME", saved_[0]);
        qputenv("XDG_DATA_HOME", saved_[1]);
    }

    void writeText(const QString& name, const QString& text)
    {
        QFile f(dir.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    TempDir dir;
    QString icon, wavType;

private:
    std::array<QByteArray, 2> saved_;
};

TEST_F(PrivateDesktop, TypeNamesAndOpenCommandsComeFromTheDesktop)
{
    FileTypes types;
    EXPECT_EQ(types.GetFileTypeName(".wav"), QMimeDatabase().mimeTypeForName(wavType).comment());
    EXPECT_EQ(types.GetFileTypeName(".kbnosuch"), QStringLiteral("KBNOSUCH ﾌｧｲﾙ"));
    EXPECT_EQ(types.GetFileTypeName(""), QStringLiteral(" ﾌｧｲﾙ"));
    EXPECT_EQ(types.GetOpenCommand(".WAV"), "\"/opt/kb player/play\" %U");
    EXPECT_EQ(types.GetOpenCommand(".kbnosuch"), "");
}

TEST_F(PrivateDesktop, IconsAreSharedPerTypeAndOwnPerIconFile)
{
    for (const char* n : {"a.ico", "b.ico"}) {
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(n[0] == 'a' ? Qt::green : Qt::blue);
        ASSERT_TRUE(img.save(dir.file(n), "ICO"));
    }
    QFile bogus(dir.file("tool.exe"));
    ASSERT_TRUE(bogus.open(QIODevice::WriteOnly));
    bogus.write("MZ not really");
    bogus.close();

    FileTypes types;
    FileIcons icons(types);
    EXPECT_EQ(icons.count(), 3);
    EXPECT_EQ(icons.GetFileIcon(0, dir.file("a.wav"), ".wav"), "k.wav");
    EXPECT_EQ(icons.GetFileIcon(0, dir.file("b.wav"), ".wav"), "k.wav");
    EXPECT_EQ(icons.image("k.wav").toImage().pixelColor(8, 8), QColor(Qt::red)) << "the default player's icon";
    EXPECT_EQ(icons.count(), 4);

    EXPECT_EQ(icons.GetFileIcon(0, dir.file("a.ico"), ".ico"), "k.ico5");
    EXPECT_EQ(icons.GetFileIcon(0, dir.file("b.ico"), ".ico"), "k.ico6");
    EXPECT_EQ(icons.image("k.ico6").toImage().pixelColor(8, 8), QColor(Qt::blue));
    EXPECT_EQ(icons.GetFileIcon(0, dir.file("tool.exe"), ".exe"), "Leaf");
    EXPECT_EQ(icons.GetFileIcon(0, dir.file("x.ZIP"), ".ZIP"), "Archive");
    EXPECT_EQ(icons.GetFileIcon(0, dir.file("x.kbnosuch"), ".kbnosuch"), "Leaf");
    EXPECT_EQ(icons.GetFileIcon(FileIcons::FolderAttribute, dir.path(), ""), "Closed");

    icons.reset();
    EXPECT_EQ(icons.count(), 3);
    EXPECT_FALSE(icons.contains("k.wav"));
    for (const char* stock : {"Closed", "Leaf", "Archive"})
        EXPECT_EQ(icons.image(stock).size(), QSize(16, 16)) << stock;
}

} // namespace
