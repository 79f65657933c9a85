#include "../ui/PanelFixture.h"

#include "mci/DeviceModes.h"
#include "playback/TimeDisplay.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

TEST(TimeDisplayRules, TrackNumberKeepsTheLastTwoDigits)
{
    EXPECT_EQ(TimeDisplay::cdTrackNumberText("7"), "07:");
    EXPECT_EQ(TimeDisplay::cdTrackNumberText(" 12 "), "12:");
    EXPECT_EQ(TimeDisplay::cdTrackNumberText("123"), "23:");
}

TEST(TimeDisplayRules, PositionTextPerDeviceAndTimeType)
{
    EXPECT_EQ(TimeDisplay::positionText("cdaudio", "SINGLE TIME", "03:01:27:40", "x"), "01:27");
    EXPECT_EQ(TimeDisplay::positionText("cdaudio", "TOTAL TIME", "31:05:12", "x"), "31:05");
    EXPECT_EQ(TimeDisplay::positionText("sequencer", "SINGLE TIME", "01:02:03:12", "x"), "02:03");
    EXPECT_EQ(TimeDisplay::positionText("waveaudio", "SINGLE TIME", "83500", "x"), "01:23");
    EXPECT_EQ(TimeDisplay::positionText("avivideo", "SINGLE TIME", "6000000", "x"), "00:00");
    EXPECT_EQ(TimeDisplay::positionText("waveaudio", "SINGLE TIME", "Error:263", "12:34"), "12:34");
    EXPECT_EQ(TimeDisplay::positionText("cdaudio", "SINGLE TIME", "03:0", "x"), "0");
}

TEST(TimeDisplayRules, PositionsPastNineHoursStillShowMinutesAndSeconds)
{
    // 9 h 6 min 40 s = 32800 s: past the 16-bit seconds range.
    EXPECT_EQ(TimeDisplay::millisecondsText("32800000"), "46:40");
    EXPECT_EQ(TimeDisplay::millisecondsText("32767999"), "46:07");
}

TEST(TimeDisplayRules, LengthTextPerDevice)
{
    EXPECT_EQ(TimeDisplay::lengthText("cdaudio", "48:12:40"), "48:12");
    EXPECT_EQ(TimeDisplay::lengthText("waveaudio", "125000"), "02:05");
    EXPECT_EQ(TimeDisplay::lengthText("sequencer", "00:03:10:05"), "03:10");
    EXPECT_EQ(TimeDisplay::lengthText("cdaudio", "Error:263"), "88:88");
}

TEST(TimeDisplay, TotalLengthSetsTheFormatFirst)
{
    PanelFixture f;
    f.scriptDisc(12);
    f.load();
    f.state.OptTimeType = "SINGLE TIME";
    f.mciService->clearLog();
    f.form->timeDisplay->ShowTotalLength();
    EXPECT_EQ(f.commands(), (QStringList{"set 2 time format tmsf", "status 2 length"}));
    EXPECT_EQ(f.form->lblAllTime->caption(), "48:12");
    f.mciService->answer("status 2 length", 275, "");
    f.form->timeDisplay->ShowTotalLength();
    EXPECT_EQ(f.form->lblAllTime->caption(), "88:88");
}

TEST(TimeDisplay, StripScrollsOffTheLeftBeforeReenteringAtTheRight)
{
    PanelFixture f;
    f.load();
    PictureBox* strip = f.form->picCenter;
    f.form->modes->ShowCenterText("A title much wider than the frame of the strip itself");
    const int width = strip->Width();
    ASSERT_GT(width, f.form->picFrame->Width());
    strip->setLeft(0);
    int ticks = 0;
    while (strip->Left() != f.form->picFrame->Width() && ticks < 1000) {
        f.form->timeDisplay->timScroll_Timer();
        ++ticks;
    }
    EXPECT_EQ(ticks, (width + 99) / 100);
}

TEST(TimeDisplay, TitlesRotateArtistAlbumTrackOnlyForATitledDisc)
{
    PanelFixture f;
    f.load();
    f.state.CdArtistName = "The Quartet";
    f.state.CdAlbumTitle = "";
    f.state.TrackTitles = QStringList{"", "Opening", "Second"};
    f.form->modes->ShowCenterText("CD PLAYER");
    f.form->timeDisplay->RotateTitles(2);
    EXPECT_EQ(f.form->picCenter->printedText(), "CD PLAYER");
    EXPECT_EQ(f.state.TitleCycle, 0);

    f.state.CdAlbumTitle = "Live";
    QStringList shown;
    for (int tick = 0; tick < 14; ++tick) {
        f.form->timeDisplay->RotateTitles(2);
        shown << f.form->picCenter->printedText();
    }
    EXPECT_EQ(shown.mid(0, 4), QStringList(4, "The Quartet"));
    EXPECT_EQ(shown.mid(4, 4), QStringList(4, "Live"));
    EXPECT_EQ(shown.mid(8, 5), QStringList(5, "Second"));
    EXPECT_EQ(shown[13], "The Quartet");

    f.state.TitleCycle = 12;
    f.form->timeDisplay->RotateTitles(9); // no title 9: the step is skipped, the cycle wraps
    EXPECT_EQ(f.state.TitleCycle, 0);
}

TEST(TimeDisplay, ResetTitleFontAppliesTheStyleFlags)
{
    PanelFixture f;
    f.load();
    f.state.TitleFontExt = "1010";
    f.form->timeDisplay->ResetTitleFont();
    const QFont font = f.form->picCenter->font();
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_TRUE(font.strikeOut());
    EXPECT_FALSE(font.underline());
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(f.form->picFrame->backColor(), 0xFFFF00u);
}

} // namespace
