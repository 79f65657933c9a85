#include "../ui/PanelFixture.h"

#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/SkinButton.h"
#include "ui/Twips.h"

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

struct ModeStep {
    const char* caption;
    const char* deviceType;
    int widthTwips, heightTwips;
};

TEST(DeviceModes, LabelClicksCycleThroughAllModesClosingEachDevice)
{
    PanelFixture f;
    f.load();
    EXPECT_EQ(f.form->Label1[1]->caption(), "CD D:");
    const ModeStep steps[] = {{"VIDEO", "avivideo", 7950, 6825}, {"WAVE", "waveaudio", 7950, 2880},
                              {"MIDI", "sequencer", 7950, 2880}, {"MP3", "waveaudio", 7950, 2880},
                              {"CD D:", "cdaudio", 4000, 2880}};
    for (const ModeStep& step : steps) {
        f.mciService->clearLog();
        f.form->modes->Label1_Click(1);
        EXPECT_EQ(f.form->Label1[1]->caption(), step.caption);
        EXPECT_EQ(f.state.CurDeviceType, step.deviceType);
        EXPECT_EQ(f.form->size(), QSize(kb::ui::toPx(step.widthTwips), kb::ui::toPx(step.heightTwips)));
        const QStringList sent = f.commands();
        ASSERT_GE(sent.size(), 2);
        EXPECT_EQ(sent[0], "stop 2");
        EXPECT_EQ(sent[1], "close 2");
        EXPECT_TRUE(f.state.PollSuspended);
        EXPECT_EQ(f.state.LastTrack, 0);
    }
    EXPECT_TRUE(f.commands().contains("open D: type \"cdaudio\" alias 2 notify"));
    EXPECT_TRUE(f.form->timCD->isActive());
    EXPECT_TRUE(f.form->timScroll->isActive());
}

TEST(DeviceModes, FileModesShowTheirCaptionAndBlankReadOut)
{
    PanelFixture f;
    f.load();
    f.form->modes->Label1_Click(1);
    EXPECT_EQ(f.form->picCenter->printedText(), "VIDEO PLAYER");
    EXPECT_EQ(f.form->lblTrackNo->caption(), "88:");
    EXPECT_EQ(f.form->lblTime->caption(), "88:88");
    EXPECT_EQ(f.state.TrackCount, "1");
    EXPECT_EQ(f.form->lvwFileList->height(), kb::ui::toPx(5775));
    f.form->modes->Label1_Click(1);
    EXPECT_EQ(f.form->lvwFileList->height(), kb::ui::toPx(2295));
}

TEST(DeviceModes, DeviceNameIsTheFirstWordAndMenuLandsOnItsTarget)
{
    PanelFixture f;
    f.state.CurCdDrive = "E:";
    f.load();
    EXPECT_EQ(f.form->Label1[1]->caption(), "CD E:");
    EXPECT_EQ(f.form->modes->GetDeviceName(), "CD");
    f.form->modes->mnuDeviceWAV_Click();
    EXPECT_EQ(f.form->modes->GetDeviceName(), "WAVE");
    f.mciService->clearLog();
    f.form->modes->mnuDeviceWAV_Click();
    EXPECT_EQ(f.form->modes->GetDeviceName(), "WAVE");
    EXPECT_EQ(f.commands().value(0), "stop 2");
    f.form->modes->mnuDeviceMIDI_Click();
    EXPECT_EQ(f.form->modes->GetDeviceName(), "MIDI");
    f.form->modes->mnuDeviceMP3_Click();
    EXPECT_EQ(f.form->modes->GetDeviceName(), "MP3");
    f.form->modes->mnuDeviceAVI_Click();
    EXPECT_EQ(f.form->modes->GetDeviceName(), "VIDEO");
    f.form->modes->mnuDeviceCD_Click();
    EXPECT_EQ(f.form->Label1[1]->caption(), "CD E:");
}

struct Expect {
    bool play, pause, stop, track, eject, skip;
};

void expectButtons(frmMedia& form, const Expect& e, bool bottomItem)
{
    EXPECT_EQ(form.cmdPlay->isEnabled(), e.play);
    EXPECT_EQ(form.cmdPause->isEnabled(), e.pause);
    EXPECT_EQ(form.cmdStop->isEnabled(), e.stop);
    for (auto* b : {form.cmdTop, form.cmdPrev, form.cmdNext, form.cmdBottom})
        EXPECT_EQ(b->isEnabled(), e.track);
    EXPECT_EQ(form.cmdEject->isEnabled(), e.eject);
    EXPECT_EQ(form.cmdFF->isEnabled(), e.skip);
    EXPECT_EQ(form.cmdRR->isEnabled(), e.skip);
    EXPECT_EQ(form.mnuPopUpPlay->isEnabled(), e.play);
    EXPECT_EQ(form.mnuPopUpPause->isEnabled(), e.pause);
    EXPECT_EQ(form.mnuPopUpStop->isEnabled(), e.stop);
    for (auto* a : {form.mnuPopUpTop, form.mnuPopUpPrev, form.mnuPopUpNext})
        EXPECT_EQ(a->isEnabled(), e.track);
    EXPECT_EQ(form.mnuPopUpBottom->isEnabled(), bottomItem);
    EXPECT_EQ(form.mnuPopUpEject->isEnabled(), e.eject);
}

TEST(DeviceModes, DisplayStatesFollowTheEnableTable)
{
    PanelFixture f;
    f.load();
    DeviceModes& m = *f.form->modes;
    m.ShowNoMediaState();
    expectButtons(*f.form, {false, false, false, false, true, false}, false);
    EXPECT_EQ(f.form->picCenter->backColor(), 0u);
    EXPECT_EQ(f.form->picCenter->foreColor(), 0xFFFFFFu);
    m.ShowReadyState();
    expectButtons(*f.form, {true, false, false, true, true, true}, true);
    EXPECT_EQ(f.form->picCenter->backColor(), 0xFFFF00u);
    EXPECT_EQ(f.form->picFrame->backColor(), 0xFFFF00u);
    m.ShowPlayingState();
    expectButtons(*f.form, {false, true, true, true, true, true}, true);
    m.ShowStoppedState();
    expectButtons(*f.form, {true, false, false, true, true, false}, true);

    m.mnuDeviceWAV_Click();
    m.ShowNoMediaState();
    expectButtons(*f.form, {false, false, false, false, false, false}, false);
    m.ShowReadyState();
    expectButtons(*f.form, {true, false, false, false, false, false}, false);
    m.ShowPlayingState();
    expectButtons(*f.form, {false, true, true, false, false, false}, false);
    m.ShowStoppedState();
    expectButtons(*f.form, {true, false, false, false, false, false}, true);
    EXPECT_EQ(f.form->picCenter->printedText(), "WAVE PLAYER");
}

TEST(DeviceModes, TimeTypeLabelSetsTheDeviceFormat)
{
    PanelFixture f;
    f.state.OptTimeType = "TOTAL TIME";
    f.load();
    f.state.PollSuspended = true;
    f.mciService->clearLog();
    f.form->modes->Label1_Click(2);
    EXPECT_EQ(f.commands(), QStringList{"set 2 time format tmsf"});
    EXPECT_EQ(f.state.OptTimeType, "SINGLE TIME");
    EXPECT_EQ(f.form->Label1[2]->caption(), "SINGLE TIME");
    EXPECT_FALSE(f.state.PollSuspended);
    f.form->modes->Label1_Click(2);
    EXPECT_EQ(f.commands().last(), "set 2 time format msf");
    EXPECT_EQ(f.state.OptTimeType, "TOTAL TIME");

    const std::pair<void (DeviceModes::*)(), const char*> files[] = {
        {&DeviceModes::mnuDeviceAVI_Click, "set 2 time format frame"},
        {&DeviceModes::mnuDeviceWAV_Click, "set 2 time format ms"},
        {&DeviceModes::mnuDeviceMIDI_Click, "set 2 time format smpte 24"},
        {&DeviceModes::mnuDeviceMP3_Click, "set 2 time format ms"}};
    for (const auto& [enter, command] : files) {
        (f.form->modes.get()->*enter)();
        f.state.OptTimeType = "TOTAL TIME";
        f.form->modes->Label1_Click(2);
        EXPECT_EQ(f.commands().last(), command);
        EXPECT_EQ(f.form->Label1[2]->caption(), "SINGLE TIME");
    }
}

TEST(DeviceModes, CdModeUsesTheDiscTitleFont)
{
    PanelFixture f;
    f.state.TitleFontExt = "0101";
    f.state.TitleFontSize = "";
    f.state.TitleFontName = "";
    f.load();
    f.form->modes->OpenCdMode();
    const QFont font = f.form->picCenter->font();
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_FALSE(font.bold());
    EXPECT_TRUE(font.italic());
    EXPECT_FALSE(font.strikeOut());
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(f.form->picCenter->backColor(), 0xFFFF00u);
    EXPECT_GE(f.form->picCenter->Width(), f.form->picCenter->TextWidth("CD PLAYER"));
}

TEST(DeviceModes, OnlyARightClickOnTheDeviceLabelOpensTheDeviceMenu)
{
    PanelFixture f;
    f.load();
    f.form->Label1_MouseDown(1, 1, 0, 0, 0);
    f.form->Label1_MouseDown(2, 2, 0, 0, 0);
    f.form->Label1_MouseDown(0, 2, 0, 0, 0);
    EXPECT_TRUE(f.poppedUp.isEmpty());
    f.form->Label1_MouseDown(1, 2, 0, 0, 0);
    ASSERT_EQ(f.poppedUp.size(), 1);
    EXPECT_EQ(f.poppedUp[0], f.form->mnuDevice);
}

TEST(DeviceModes, LoadOpensTheSavedModeAndActivateSetsTheTimeFormatOnce)
{
    PanelFixture f;
    f.state.OptMedia = "WAVE";
    f.state.OptTimeType = "SINGLE TIME";
    f.load();
    const QStringList sent = f.commands();
    EXPECT_TRUE(sent.contains("open \"waveaudio\" alias 2 notify"));
    EXPECT_EQ(f.form->modes->GetDeviceName(), "WAVE");
    EXPECT_TRUE(sent.contains("set 2 time format tmsf"));
    EXPECT_EQ(f.form->Label1[2]->caption(), "SINGLE TIME");
    EXPECT_FALSE(f.form->timCD->isActive());
    EXPECT_TRUE(f.state.OpenPending);
    EXPECT_EQ(f.form->pos(), QPoint(kb::ui::toPx(100), kb::ui::toPx(100)));
    f.mciService->clearLog();
    f.form->Form_Activate();
    f.form->Form_Load();
    EXPECT_TRUE(f.commands().isEmpty());
}

TEST(DeviceModes, UnknownSavedModeOpensNothingAndBadPositionKeepsTheWindow)
{
    PanelFixture f;
    f.state.OptMedia = "TAPE";
    f.state.OptLeft = "left";
    const QPoint before = f.form->pos();
    f.form->Form_Load();
    for (const QString& c : f.commands())
        EXPECT_FALSE(c.startsWith("open")) << c.toStdString();
    EXPECT_EQ(f.form->pos(), before);
}

} // namespace
