#include "../ui/PanelFixture.h"

#include "mci/DeviceModes.h"
#include "playback/TrackGrid.h"
#include "ui/LedLabel.h"
#include "ui/SkinButton.h"

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

QStringList submenu(const frmMedia& form)
{
    QStringList items;
    for (QAction* a : form.mnuPopUpAllSong->actions())
        items << (a->isEnabled() ? "+" : "-") + a->text();
    return items;
}

int enabledCells(const frmMedia& form)
{
    int n = 0;
    for (auto* cell : form.lblTracks)
        n += cell->isEnabled() ? 1 : 0;
    return n;
}

TEST(TrackGrid, KnownDiscEnablesOneCellAndOneTitledItemPerTrack)
{
    PanelFixture f;
    f.scriptDisc(12, "255");
    f.settings.WriteIni("FF", "TitleOfTrack5", "Intro");
    f.load();
    EXPECT_EQ(enabledCells(*f.form), 12);
    EXPECT_EQ(f.form->lblTracks[0]->toolTip(), "ﾀﾞｲﾚｸﾄ選曲(1曲目)");
    EXPECT_EQ(f.form->lblTracks[11]->toolTip(), "ﾀﾞｲﾚｸﾄ選曲(12曲目)");
    EXPECT_TRUE(f.form->lblTracks[12]->toolTip().isEmpty());
    EXPECT_EQ(f.form->lblTracks[29]->caption(), "30");
    const QStringList items = submenu(*f.form);
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items[4], "+Tr05. Intro");
    EXPECT_EQ(items[11], "+Tr12. (未登録)");
    EXPECT_EQ(f.form->lblAllTime->caption(), "48:12");

    f.form->grid->RefreshTrackGrid();
    EXPECT_EQ(submenu(*f.form).size(), 12);
    EXPECT_EQ(f.form->mnuPopUpAllSongs.size(), 12);
}

TEST(TrackGrid, DiscWithoutIdentityGetsDisabledNoneItems)
{
    PanelFixture f;
    f.scriptDisc(3, "2147483648");
    f.load();
    EXPECT_EQ(enabledCells(*f.form), 3);
    EXPECT_EQ(submenu(*f.form), QStringList(3, "-なし"));
}

TEST(TrackGrid, NoDiscAndFileModesLeaveTheGridInert)
{
    PanelFixture f;
    f.load();
    f.state.TrackCount = "0";
    f.form->grid->RefreshTrackGrid();
    EXPECT_EQ(enabledCells(*f.form), 0);
    EXPECT_EQ(submenu(*f.form), QStringList{"-なし"});

    f.scriptDisc(12);
    f.state.TrackCount = "12";
    f.form->grid->RefreshTrackGrid();
    f.form->modes->mnuDeviceWAV_Click();
    EXPECT_EQ(enabledCells(*f.form), 0);
    EXPECT_EQ(submenu(*f.form), QStringList{"-なし"});

    f.state.TrackCount = "many";
    f.form->modes->mnuDeviceCD_Click();
    f.form->grid->RefreshTrackGrid();
    EXPECT_EQ(enabledCells(*f.form), 0);
}

TEST(TrackGrid, LongDiscIsCappedAtThirtyAndHighlightFollowsTheTrack)
{
    PanelFixture f;
    f.scriptDisc(35);
    f.load();
    EXPECT_EQ(enabledCells(*f.form), 30);
    EXPECT_EQ(submenu(*f.form).size(), 30);

    f.state.LastTrack = 0;
    f.form->grid->HighlightTrack(3);
    EXPECT_EQ(f.form->lblTracks[2]->foreColor(), 0x00FF00u);
    EXPECT_EQ(f.form->lblTracks[1]->foreColor(), 0x00FFFFu);
    f.state.LastTrack = 3;
    f.form->grid->HighlightTrack(3);
    EXPECT_EQ(f.form->lblTracks[2]->foreColor(), 0x00FF00u);
    f.form->grid->HighlightTrack(31);
    for (auto* cell : f.form->lblTracks)
        EXPECT_EQ(cell->foreColor(), 0x00FFFFu);
}

TEST(TrackGrid, PickPlaysTheTrackAndUpdatesTheRepeatedTrack)
{
    PanelFixture f;
    f.scriptDisc(12);
    f.mciService->answer("status 2 position track 7", "07:00:00:00");
    f.load();
    f.state.OptRepeat = "ONE";
    f.state.RepeatOneTrack = "3";
    f.state.PollSuspended = true;
    f.mciService->answer("status 2 current track", "7");
    f.mciService->clearLog();
    f.form->grid->lblTracks_Click(6);
    const QStringList sent = f.commands();
    ASSERT_GE(sent.size(), 2);
    EXPECT_EQ(sent[0], "status 2 position track 7");
    EXPECT_EQ(sent[1], "play 2 from 07:00:00:00");
    EXPECT_EQ(f.state.RepeatOneTrack, "7");
    EXPECT_FALSE(f.state.PollSuspended);
    EXPECT_TRUE(f.state.PlayFromTrackStart);
    EXPECT_TRUE(f.form->timCD->isActive());
    EXPECT_TRUE(f.form->cmdStop->isEnabled());
    EXPECT_FALSE(f.form->cmdPlay->isEnabled());

    f.mciService->clearLog();
    f.form->mnuPopUpAllSongs[1]->trigger();
    EXPECT_EQ(f.commands().value(0), "status 2 position track 2");
}

} // namespace
