#include "TransportFixture.h"

#include "ui/LedLabel.h"

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

const QStringList kFiles{"/m/a.wav", "/m/b.wav", "/m/c.wav"};

// A wave file that has played to its end: not playing, position at the length.
void scriptEndOfFile(TransportFixture& f)
{
    f.mciService->answer("status 2 length", "5000");
    f.mciService->answer("status 2 current track", "1");
    f.mciService->answer("status 2 position", "5000");
    f.mciService->answer("status 2 mode", "stopped");
}

TEST(PollWave, RepeatAllAdvancesThroughTheListAndWraps)
{
    TransportFixture f;
    f.listFiles("waveaudio", kFiles, 2);
    f.repeatShow("ALL");
    scriptEndOfFile(f);
    f.state.PollSuspended = false;

    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.selectedFile(), "/m/c.wav");
    EXPECT_EQ(f.mciService->count("close 2"), 1);
    EXPECT_EQ(f.mciService->count("open \"/m/c.wav\" alias 2 notify"), 1);
    EXPECT_EQ(f.mciService->count("play 2"), 1);
    EXPECT_TRUE(f.state.OpenPending);
    EXPECT_FALSE(f.state.PollSuspended);
    EXPECT_TRUE(f.state.PlayFromTrackStart);
    EXPECT_EQ(f.state.TrackCount, "1");
    EXPECT_EQ(f.state.LastTrack, 3);
    EXPECT_EQ(f.display(), "playing");

    f.mciService->clearLog();
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.selectedFile(), "/m/a.wav");
    EXPECT_EQ(f.mciService->count("open \"/m/a.wav\" alias 2 notify"), 1);
    EXPECT_EQ(f.state.LastTrack, 1);
}

TEST(PollWave, RepeatOneReopensTheSelectedFile)
{
    TransportFixture f;
    f.listFiles("waveaudio", kFiles, 2);
    f.repeatShow("ONE", "1");
    scriptEndOfFile(f);
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.selectedFile(), "/m/b.wav");
    EXPECT_EQ(f.mciService->count("open \"/m/b.wav\" alias 2 notify"), 1);
    EXPECT_EQ(f.mciService->count("play 2"), 1);
}

TEST(PollWave, RepeatOffShowsStoppedEveryTickAndNeverReopens)
{
    TransportFixture f;
    f.listFiles("waveaudio", kFiles, 3);
    f.repeatShow("OFF");
    scriptEndOfFile(f);
    for (int tick = 0; tick < 2; ++tick) {
        f.form->poller->timCD_Timer();
        EXPECT_EQ(f.display(), "ready");
    }
    EXPECT_EQ(f.mciService->countPrefix("open"), 0);
    EXPECT_EQ(f.mciService->countPrefix("play"), 0);
    EXPECT_EQ(f.selectedFile(), "/m/c.wav");
    EXPECT_EQ(f.form->lblTrackNo->caption(), "3");
    EXPECT_EQ(f.form->lblTime->caption(), "00:05");
}

TEST(PollWave, StillPlayingOrShortOfTheEndDoesNotRestart)
{
    TransportFixture f;
    f.listFiles("waveaudio", kFiles, 1);
    f.repeatShow("ALL");
    scriptEndOfFile(f);
    f.mciService->answer("status 2 mode", "playing");
    f.form->poller->timCD_Timer();
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 position", "4999");
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.mciService->countPrefix("open"), 0);
    EXPECT_EQ(f.selectedFile(), "/m/a.wav");
}

TEST(PollWave, NothingSelectedShowsTheEmptyReadOutOnce)
{
    TransportFixture f;
    f.listFiles("waveaudio", kFiles, 0);
    f.repeatShow("ALL");
    scriptEndOfFile(f);
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.form->lblTrackNo->caption(), "88:");
    EXPECT_EQ(f.form->lblTime->caption(), "88:88");
    const int lengthQueries = f.mciService->count("status 2 length");
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.mciService->count("status 2 length"), lengthQueries) << "not redrawn while shown";
    EXPECT_EQ(f.mciService->countPrefix("open"), 0);
}

TEST(PollMidi, EndIsFoundByTextOrderAndAFailedPositionIsNotTheEnd)
{
    TransportFixture f;
    f.listFiles("sequencer", {"/m/a.mid", "/m/b.mid", "/m/c.mid"}, 3);
    f.repeatShow("ALL");
    f.mciService->answer("status 2 length", "00:01:30:12");
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 position", 276, "");
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.mciService->countPrefix("open"), 0);
    EXPECT_EQ(f.mciService->count("status 2 current track"), 0) << "MIDI has no track query";

    f.mciService->answer("status 2 position", "00:01:30:12");
    f.form->poller->timCD_Timer();
    EXPECT_EQ(f.selectedFile(), "/m/a.mid");
    EXPECT_EQ(f.mciService->count("open \"/m/a.mid\" alias 2 notify"), 1);
    EXPECT_EQ(f.form->lblTime->caption(), "01:30");
}

TEST(PollVideo, SetsMillisecondsForTheTickAndPutsTheFormatBack)
{
    TransportFixture f;
    f.listFiles("avivideo", {"/m/a.avi"}, 1);
    f.repeatShow("ALL");
    f.mciService->answer("status 2 time format", "frames");
    f.mciService->answer("status 2 length", "4000");
    f.mciService->answer("status 2 current track", "1");
    f.mciService->answer("status 2 position", "4000");
    f.mciService->answer("status 2 mode", "stopped");
    f.form->poller->timCD_Timer();
    const QStringList c = f.commands();
    ASSERT_GE(c.size(), 3);
    EXPECT_EQ(c[0], "status 2 time format");
    EXPECT_EQ(c[1], "set 2 time format milliseconds");
    EXPECT_EQ(c.back(), "set 2 time format frames");
    EXPECT_EQ(f.mciService->count("open \"/m/a.avi\" alias 2 notify"), 1) << "a single file repeats itself";
    EXPECT_EQ(f.mciService->countPrefix("window 2 handle "), 1);
    EXPECT_EQ(f.mciService->count("put 2 destination at 0 0 213 213"), 1);
}

} // namespace
