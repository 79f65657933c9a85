#include "PanelFixture.h"

#include "dialogs/CommonDlg.h"
#include "platform/shell/HelpWindow.h"
#include "tests/support/TempDir.h"
#include "ui/OptionsHelp.h"
#include "ui/PowerTray.h"

#include <QDir>
#include <QFile>
#include <QTextBrowser>

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

QString iniText(const PanelFixture& f)
{
    QFile file(f.settings.filePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Copies the built manual (KOBALTUNE.HLP and help/) into `folder`.
void copyManual(const QString& folder)
{
    const QString from = kbtest::binaryDir() + "/bin";
    ASSERT_TRUE(QFile::copy(from + "/KOBALTUNE.HLP", folder + "/KOBALTUNE.HLP"));
    QDir().mkpath(folder + "/help");
    for (const QString& page : QDir(from + "/help").entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(from + "/help/" + page, folder + "/help/" + page));
}

TEST(OptionItems, ToggledTwiceAndSavedAtPowerOff)
{
    PanelFixture f;
    f.load();
    f.form->show();
    QAction* temae = f.form->mnuOptionTemae;
    QAction* autoRun = f.form->mnuOptionAutoRun;

    temae->trigger();
    EXPECT_TRUE(temae->isChecked());
    EXPECT_EQ(f.state.OptTemae, "1");
    EXPECT_TRUE(f.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    temae->trigger();
    EXPECT_FALSE(temae->isChecked());
    EXPECT_EQ(f.state.OptTemae, "0");
    EXPECT_FALSE(f.form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.form->isVisible()) << "changing the order hid the window";

    autoRun->trigger();
    EXPECT_TRUE(autoRun->isChecked());
    EXPECT_EQ(f.state.OptAutoRun, "1");
    temae->trigger();

    f.form->powerTray->quitApplication = nullptr;
    f.form->powerTray->cmdPower_Click();
    const QString text = iniText(f);
    EXPECT_TRUE(text.contains("Temae=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("AutoRun=1")) << text.toStdString();
    // Auto-run is the player's own: nothing but its two keys changed.
    EXPECT_EQ(f.commands().filter("auto").size(), 0);
}

TEST(HelpItems, HelpFileBesideTheProgramWithOneSeparator)
{
    EXPECT_EQ(OptionsHelp::helpFilePath("/"), "/KOBALTUNE.HLP");
    EXPECT_EQ(OptionsHelp::helpFilePath("/opt/kobaltune"), "/opt/kobaltune/KOBALTUNE.HLP");
    EXPECT_EQ(OptionsHelp::helpFilePath("/opt/kobaltune/"), "/opt/kobaltune/KOBALTUNE.HLP");
}

TEST(HelpItems, VersionWhileMinimisedShowsTheWindowThenMinimisesItAgain)
{
    PanelFixture f;
    f.load();
    f.form->show();
    f.form->setWindowState(Qt::WindowMinimized);
    bool minimisedDuring = true;
    bool visibleDuring = false;
    f.form->optionsHelp->showAbout = [&](QWidget* owner) {
        EXPECT_EQ(owner, f.form.get());
        minimisedDuring = f.form->isMinimized();
        visibleDuring = f.form->isVisible();
    };
    f.form->mnuHelpVersion->trigger();
    EXPECT_FALSE(minimisedDuring);
    EXPECT_TRUE(visibleDuring);
    EXPECT_TRUE(f.form->isMinimized());

    f.form->setWindowState(Qt::WindowNoState);
    f.form->mnuHelpVersion->trigger();
    EXPECT_FALSE(f.form->isMinimized());
}

TEST(HelpItems, HelpOpensTheManualWindowOnceAndNothingWithoutTheFile)
{
    PanelFixture f;
    f.load();
    kbtest::TempDir folder;
    f.form->optionsHelp->programFolder = [&] { return folder.path(); };
    f.form->mnuHelpHelp->trigger();
    EXPECT_TRUE(f.form->findChildren<kb::shell::HelpWindow*>().isEmpty()) << "a missing manual showed a window";

    copyManual(folder.path());
    f.form->mnuHelpHelp->trigger();
    f.form->mnuHelpHelp->trigger();
    const auto windows = f.form->findChildren<kb::shell::HelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_TRUE(windows[0]->currentPage().toLocalFile().endsWith("/help/index.html"));
    EXPECT_TRUE(windows[0]->page()->toPlainText().contains(QStringLiteral("Kobaltune")));

    // Command 0 asks for nothing: no window even with the file there.
    PanelFixture g;
    CommonDlg dlg;
    dlg.setForm(g.form.get());
    dlg.setHelpFile(OptionsHelp::helpFilePath(folder.path()));
    dlg.setHelpCommand(0);
    dlg.ShowHelp();
    EXPECT_EQ(dlg.Action(), 6);
    EXPECT_EQ(dlg.ErrNumber(), 0);
    EXPECT_TRUE(g.form->findChildren<kb::shell::HelpWindow*>().isEmpty());
}

} // namespace
