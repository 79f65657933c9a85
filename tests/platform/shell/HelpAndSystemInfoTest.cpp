#include "platform/shell/HelpProject.h"
#include "platform/shell/HelpViewer.h"
#include "platform/shell/HelpWindow.h"
#include "platform/shell/SystemInfo.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

const QString kManual = kbtest::binaryDir() + "/bin/KOBALTUNE.HLP";

// Every page anchor a target names must exist in its page.
bool anchorExists(const QUrl& target)
{
    if (!target.hasFragment())
        return true;
    QFile page(target.toLocalFile());
    if (!page.open(QIODevice::ReadOnly))
        return false;
    return QString::fromUtf8(page.readAll()).contains("id=\"" + target.fragment() + "\"");
}

void expectTopicsResolve(const std::vector<kb::shell::HelpTopic>& topics, int& count)
{
    for (const auto& t : topics) {
        ++count;
        EXPECT_FALSE(t.target.isEmpty()) << t.title.toStdString();
        EXPECT_TRUE(anchorExists(t.target)) << t.target.toString().toStdString();
        expectTopicsResolve(t.children, count);
    }
}

TEST(HelpProject, TheInstalledManualsContentsAndIndexAllLeadToPages)
{
    const auto loaded = kb::shell::loadHelpProject(kManual);
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    int topics = 0;
    expectTopicsResolve(loaded.project.contents, topics);
    EXPECT_GE(topics, 30);
    EXPECT_GE(loaded.project.index.size(), 40u);
    for (const auto& term : loaded.project.index)
        EXPECT_TRUE(anchorExists(term.target)) << term.name.toStdString();
    // Every page links only to pages and anchors of the manual.
    for (const QString& page : QDir(QFileInfo(kManual).absolutePath() + "/help").entryList({"*.html"})) {
        QFile f(QFileInfo(kManual).absolutePath() + "/help/" + page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_FALSE(html.contains("http:") || html.contains("https:")) << page.toStdString();
        for (const auto& m : QRegularExpression("href=\"([^\"]+)\"").globalMatch(html)) {
            const QUrl target = kb::shell::resolveHelpTarget(QFileInfo(kManual).absolutePath() + "/help", m.captured(1));
            EXPECT_FALSE(target.isEmpty()) << page.toStdString() << ": " << m.captured(1).toStdString();
            EXPECT_TRUE(anchorExists(target)) << page.toStdString() << ": " << m.captured(1).toStdString();
        }
    }
}

TEST(HelpProject, HostileOrBrokenProjectsAreRefusedOrTrimmed)
{
    kbtest::TempDir dir;
    write(dir.file("help/a.html"), "<p>a</p>");
    write(dir.file("secret.html"), "<p>s</p>");
    EXPECT_FALSE(kb::shell::loadHelpProject(dir.file("none.hlp")).ok);
    write(dir.file("bad.hlp"), "<help home=\"help/a.html\"><contents>");
    EXPECT_FALSE(kb::shell::loadHelpProject(dir.file("bad.hlp")).ok);
    write(dir.file("nohome.hlp"), "<help home=\"../etc/passwd\"/>");
    EXPECT_FALSE(kb::shell::loadHelpProject(dir.file("nohome.hlp")).ok);
    write(dir.file("big.hlp"), QByteArray(2 * 1024 * 1024, ' '));
    EXPECT_FALSE(kb::shell::loadHelpProject(dir.file("big.hlp")).ok);

    write(dir.file("sub/p.hlp"),
          "<help title=\"T\" home=\"../help/a.html\"/>");
    EXPECT_FALSE(kb::shell::loadHelpProject(dir.file("sub/p.hlp")).ok) << "home outside the project's folder";

    write(dir.file("mixed.hlp"),
          "<help title=\"T\" home=\"help/a.html\"><contents>"
          "<topic title=\"ok\" target=\"help/a.html#x\"/>"
          "<topic title=\"abs\" target=\"/etc/passwd\"/>"
          "<topic title=\"net\" target=\"http://example.org/\"/>"
          "<topic title=\"missing\" target=\"help/none.html\"/>"
          "</contents><index><term name=\"t\" target=\"help/a.html\"/><term name=\"u\" target=\"secret.html/../../x\"/></index></help>");
    const auto loaded = kb::shell::loadHelpProject(dir.file("mixed.hlp"));
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    ASSERT_EQ(loaded.project.contents.size(), 1u);
    EXPECT_EQ(loaded.project.contents[0].target.fragment(), "x");
    EXPECT_EQ(loaded.project.index.size(), 1u);
}

TEST(HelpViewer, FinderShowsContentsIndexAndPageAndQuitCloses)
{
    QWidget owner;
    EXPECT_TRUE(kb::shell::showHelp(&owner, kManual, 0, 0));
    EXPECT_TRUE(owner.findChildren<kb::shell::HelpWindow*>().isEmpty()) << "command 0 showed a window";
    EXPECT_FALSE(kb::shell::showHelp(&owner, kbtest::binaryDir() + "/bin/NONE.HLP", kb::shell::HelpFinder, 0));
    EXPECT_TRUE(owner.findChildren<kb::shell::HelpWindow*>().isEmpty());

    ASSERT_TRUE(kb::shell::showHelp(&owner, kManual, kb::shell::HelpFinder, 0));
    auto windows = owner.findChildren<kb::shell::HelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    kb::shell::HelpWindow* w = windows[0];
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kobaltune ヘルプ"));
    EXPECT_EQ(w->tabs()->currentIndex(), 0);
    EXPECT_GE(w->contentsTree()->topLevelItemCount(), 8);

    // The index: typing the start of a term selects it, Enter shows its page.
    w->tabs()->setCurrentIndex(1);
    QTest::keyClicks(w->indexFilter(), "single");
    ASSERT_NE(w->indexList()->currentItem(), nullptr);
    EXPECT_EQ(w->indexList()->currentItem()->text(), QStringLiteral("SINGLE TIME"));
    QTest::keyClick(w->indexFilter(), Qt::Key_Return);
    EXPECT_TRUE(w->currentPage().toLocalFile().endsWith("/help/cd.html"));
    EXPECT_EQ(w->currentPage().fragment(), "time");

    // A contents topic shows its page.
    QTreeWidgetItem* titles = nullptr;
    for (int i = 0; i < w->contentsTree()->topLevelItemCount(); ++i) {
        if (w->contentsTree()->topLevelItem(i)->text(0) == QStringLiteral("タイトルの編集"))
            titles = w->contentsTree()->topLevelItem(i);
    }
    ASSERT_NE(titles, nullptr);
    emit w->contentsTree()->itemClicked(titles, 0);
    EXPECT_TRUE(w->page()->toPlainText().contains(QStringLiteral("ｱﾙﾊﾞﾑ編集")));

    // A second finder request reuses the window; quit closes it.
    ASSERT_TRUE(kb::shell::showHelp(&owner, kManual, kb::shell::HelpFinder, 0));
    EXPECT_EQ(owner.findChildren<kb::shell::HelpWindow*>().size(), 1);
    QPointer<kb::shell::HelpWindow> guard(w);
    EXPECT_TRUE(kb::shell::showHelp(&owner, kManual, kb::shell::HelpQuit, 0));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

TEST(SystemInfo, DesktopEntriesInSystemAndMonitorThenWellKnownPrograms)
{
    kbtest::TempDir dir;
    write(dir.file("bin/monitor-tool"), "#!/bin/sh\n");
    write(dir.file("bin/hardinfo"), "#!/bin/sh\n");
    for (const char* p : {"bin/monitor-tool", "bin/hardinfo"})
        QFile::setPermissions(dir.file(p), QFile::ReadOwner | QFile::ExeOwner);
    kb::shell::SystemInfoSearch where{{dir.file("home/applications"), dir.file("share/applications")},
                                      {dir.file("bin")}};

    // Only hardinfo on the path: the well-known list finds it.
    EXPECT_EQ(kb::shell::findSystemInfoProgram(where), QStringList{dir.file("bin/hardinfo")});

    write(dir.file("share/applications/a-editor.desktop"),
          "[Desktop Entry]\nType=Application\nExec=monitor-tool\nCategories=Utility;\n");
    write(dir.file("share/applications/b-monitor.desktop"),
          "[Desktop Entry]\nType=Application\nExec=\"monitor-tool\" --all %F\nCategories=System;Monitor;\n");
    write(dir.file("share/applications/c-gone.desktop"),
          "[Desktop Entry]\nType=Application\nExec=no-such-program\nCategories=System;Monitor;\n");
    EXPECT_EQ(kb::shell::findSystemInfoProgram(where), (QStringList{dir.file("bin/monitor-tool"), "--all"}));

    // A user's entry of the same name hides the system one.
    write(dir.file("home/applications/b-monitor.desktop"), "[Desktop Entry]\nType=Application\nHidden=true\n");
    EXPECT_EQ(kb::shell::findSystemInfoProgram(where), QStringList{dir.file("bin/hardinfo")});

    EXPECT_EQ(kb::shell::desktopExecCommand("prog \"a b\" \"c\\\"d\" 50%% %u"),
              (QStringList{"prog", "a b", "c\"d", "50%"}));
    EXPECT_TRUE(kb::shell::desktopExecCommand("prog \"unclosed").isEmpty());
}

} // namespace
