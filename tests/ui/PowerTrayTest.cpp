#include "../playback/TransportFixture.h"
#include "tests/support/Eventually.h"

#include "mci/MessageHook.h"
#include "platform/audio/OutputLevels.h"
#include "ui/LedLabel.h"
#include "ui/SkinOption.h"
#include "ui/Twips.h"
#include "ui/WinMM.h"

#include <QSystemTrayIcon>

#include <QFile>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

QString settingsText(const TransportFixture& f)
{
    QFile file(f.settings.filePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(PowerTray, PowerOffSavesClosesAndEndsInOrder)
{
    TransportFixture f;
    f.form->show();
    f.form->move(kb::ui::toPx(1500), kb::ui::toPx(900));
    f.form->SavedTimeFormat = "msf";
    f.form->timCD->start();
    f.form->cmdPower->click();

    EXPECT_EQ(f.commands(), (QStringList{"set 2 time format msf", "stop 2", "close 2"}));
    EXPECT_FALSE(f.form->hook->installed());
    EXPECT_FALSE(f.form->timCD->isActive());
    EXPECT_EQ(f.form->timCD->interval(), 0);
    EXPECT_FALSE(f.form->timScroll->isActive());
    EXPECT_FALSE(f.state.PlayFromTrackStart);
    for (auto* b : {f.form->cmdPlay, f.form->cmdPause, f.form->cmdStop, f.form->cmdTop, f.form->cmdPrev,
                    f.form->cmdNext, f.form->cmdBottom})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_EQ(f.quitCalls, 1);

    const QString ini = settingsText(f);
    EXPECT_TRUE(ini.contains("Top=900")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Left=1500")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Media=CD\r\n")) << ini.toStdString();
    EXPECT_EQ(f.state.OptMedia, "CD");

    // Power-off happens once: a later close or key does nothing more.
    f.mciService->clearLog();
    f.form->close();
    f.form->keys->txtDummy_KeyDown(KeyTable::Esc, 0);
    EXPECT_TRUE(f.commands().isEmpty());
    EXPECT_EQ(f.quitCalls, 1);
}

TEST(PowerTray, MinimisedPowerOffKeepsTheSavedPosition)
{
    TransportFixture f;
    f.state.OptTop = "4321";
    f.state.OptLeft = "1234";
    f.form->show();
    f.form->showMinimized();
    ASSERT_TRUE(f.form->isMinimized());
    f.form->powerOff();
    EXPECT_EQ(f.state.OptTop, "4321");
    EXPECT_EQ(f.state.OptLeft, "1234");
    EXPECT_TRUE(settingsText(f).contains("4321"));
}

TEST(PowerTray, WindowCloseAndTerminationSignalPowerOff)
{
    {
        TransportFixture f;
        f.form->show();
        f.form->close();
        EXPECT_TRUE(f.form->powerTray->poweredOff());
        EXPECT_EQ(f.mciService->count("close 2"), 1);
    }
    TransportFixture f;
    ::raise(SIGTERM);
    EXPECT_TRUE(kbtest::eventually([&] { return f.form->powerTray->poweredOff(); }));
    EXPECT_EQ(f.quitCalls, 1);
}

TEST(PowerTray, MutedVolumeIsWrittenBackToTheChosenAuxDevice)
{
    TransportFixture f;
    f.state.CurDeviceType = "waveaudio";
    f.state.MutedVolume = 0x8000;
    f.state.AuxInDevice = 1;
    f.form->optCdOrAux[1]->setChecked(true);
    f.form->powerOff();
    uint32_t packed = 0;
    ASSERT_EQ(kb::ui::auxGetVolume(f.levels(), 1, packed), 0u);
    EXPECT_EQ(packed, 0x80008000u);
}

TEST(PowerTray, TipTexts)
{
    PlayerState s;
    s.OptTimeType = "TOTAL TIME";
    EXPECT_EQ(PowerTray::trayTipText(s, "03:", "52:10"), "Total Time 52:10");
    s.OptTimeType = "SINGLE TIME";
    s.TrackTitles = QStringList{"", "", "", "Overture", " "};
    EXPECT_EQ(PowerTray::trayTipText(s, "03:", "00:10"), "[03] \"Overture\" ");
    EXPECT_EQ(PowerTray::trayTipText(s, "04:", "00:10"), "[04] (未登録) ");
    EXPECT_EQ(PowerTray::trayTipText(s, "05:", "00:10"), "Kobaltune") << "beyond the titles";
    EXPECT_EQ(PowerTray::trayTipText(s, "88:", "88:88"), "Kobaltune");
    EXPECT_EQ(PowerTray::trayTipText(s, "x:", "00:00"), "[x:] (未登録) ") << "not a number counts as 0";

    const QString longTitle = QString(70, QChar(u'曲'));
    const QString cut = PowerTray::cutToTipField("[01] \"" + longTitle + "\" ");
    EXPECT_EQ(cut, "[01] \"" + QString(28, QChar(u'曲'))) << "63 bytes, no half character";
}

TEST(PowerTray, TrayMessages)
{
    TransportFixture f;
    f.state.OptTaskTray = "1";
    f.form->show();

    f.form->powerTray->picTray_MouseMove(0, 0, PowerTray::RightDown, 0);
    ASSERT_EQ(f.poppedUp.size(), 1);
    EXPECT_EQ(f.poppedUp[0], f.form->mnuPopUp);
    EXPECT_FALSE(f.form->mnuPopUpMotoSize->isEnabled()) << "restore is greyed while visible";

    // A right click while the menu is open starts no second menu.
    f.form->popupMenu = [&](QMenu* m) {
        f.poppedUp << m;
        f.form->powerTray->picTray_MouseMove(0, 0, PowerTray::RightDown, 0);
    };
    f.form->powerTray->picTray_MouseMove(0, 0, PowerTray::RightDown, 0);
    EXPECT_EQ(f.poppedUp.size(), 2);
    EXPECT_FALSE(f.form->powerTray->TrayMenuOpen());

    f.form->powerTray->picTray_MouseMove(0, 0, PowerTray::LeftDoubleClick, 0);
    EXPECT_TRUE(f.form->isVisible()) << "double click on a visible window does nothing";
    f.form->showMinimized();
    f.form->powerTray->picTray_MouseMove(0, 0, PowerTray::RightDown, 0);
    EXPECT_TRUE(f.form->mnuPopUpMotoSize->isEnabled());
    f.form->powerTray->picTray_MouseMove(0, 0, PowerTray::LeftDoubleClick, 0);
    EXPECT_FALSE(f.form->isMinimized());
    EXPECT_TRUE(f.form->isVisible());

    f.form->mnuOptionTaskTray->setEnabled(true);
    f.state.OptTaskTray = "0";
    f.form->mnuOptionTaskTray->trigger();
    EXPECT_EQ(f.state.OptTaskTray, "1");
}

TEST(PowerTray, WithoutANotificationAreaMinimisingKeepsTheWindowReachable)
{
    TransportFixture f;
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    f.state.OptTaskTray = "1";
    f.form->show();
    f.form->addTrayIcon();
    EXPECT_FALSE(f.form->powerTray->hasTrayIcon());
    EXPECT_EQ(f.state.OptTaskTray, "0");
    f.form->cmdIcon->click();
    EXPECT_TRUE(f.form->isMinimized());
    EXPECT_FALSE(f.form->isHidden());
}

} // namespace
