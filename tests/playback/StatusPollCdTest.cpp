#include "TransportFixture.h"

#include "playback/TrackGrid.h"
#include "ui/LedLabel.h"

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

// A disc standing still on its last track (3), at the end of the disc.
void scriptEndOfDisc(TransportFixture& f)
{
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 current track", "3");
    f.mciService->answerSequence("status 2 position", {{0, "03:02:29:70"}, {0, "12:30:05"}});
    f.mciService->answer("status 2 length", "12:30:05");
    f.mciService->answer("status 2 time format", "tmsf");
    f.mciService->answer("status 2 position track 1", "01:00:00:00");
}

const QStringList kStillDiscHead{"status 2 media present", "status 2 mode", "status 2 mode",
                                 "status 2 number of tracks", "status 2 current track",
                                 "status 2 position"};

TEST(PollCd, EndOfDiscInRepeatAllRestartsTrackOne)
{
    TransportFixture f;
    f.repeatShow("ALL");
    scriptEndOfDisc(f);
    f.state.PollSuspended = false;
    f.form->poller->PollCd();

    QStringList expected = kStillDiscHead;
    expected << "status 2 length" << "status 2 time format" << "set 2 time format msf"
             << "status 2 position" << "set 2 time format tmsf" << "status 2 position track 1"
             << "play 2 from 01:00:00:00";
    EXPECT_EQ(f.commands(), expected);
    EXPECT_FALSE(f.state.PollSuspended);
    EXPECT_TRUE(f.state.PlayFromTrackStart);
    EXPECT_EQ(f.display(), "playing");
    // The read-out shows the old position for this one tick.
    EXPECT_EQ(f.form->lblTrackNo->caption(), "03:");
    EXPECT_EQ(f.form->lblTime->caption(), "02:29");
}

TEST(PollCd, EndOfDiscInRepeatOffShowsReadyAndSuspends)
{
    TransportFixture f;
    f.repeatShow("OFF");
    scriptEndOfDisc(f);
    f.form->poller->PollCd();
    EXPECT_EQ(f.commands(), kStillDiscHead);
    EXPECT_TRUE(f.state.PollSuspended);
    EXPECT_EQ(f.display(), "ready");

    f.mciService->clearLog();
    f.form->poller->PollCd();
    EXPECT_TRUE(f.commands().isEmpty()) << "a suspended poller asks nothing";
}

TEST(PollCd, RepeatOneReplaysItsTrackButNotAtTheEndOfTheLastTrack)
{
    TransportFixture f;
    f.repeatShow("ONE", "3");
    scriptEndOfDisc(f);
    f.form->poller->PollCd();
    EXPECT_EQ(f.commands(), kStillDiscHead) << "the track did not change: nothing replays";
    EXPECT_TRUE(f.state.PollSuspended);

    // Track 4 kept while the disc moved on to track 5: track 4 is played again.
    f.mciService->clearLog();
    f.state.PollSuspended = false;
    f.state.RepeatOneTrack = "4";
    f.mciService->answer("status 2 mode", "playing");
    f.mciService->answer("status 2 current track", "5");
    f.mciService->answer("status 2 position track 4", "04:00:00:00");
    f.form->poller->PollCd();
    EXPECT_EQ(f.mciService->count("play 2 from 04:00:00:00"), 1);
    EXPECT_FALSE(f.state.PollSuspended);
}

TEST(PollCd, PlayingDiscDrawsTrackAndTimeAndRotatesTitles)
{
    TransportFixture f;
    f.state.PollSuspended = false;
    f.state.CdAlbumTitle = "Album";
    f.state.CdArtistName = "Artist";
    f.state.TrackTitles = QStringList{"", "One", "Two"};
    f.mciService->answer("status 2 current track", "2");
    f.mciService->answer("status 2 position", "02:01:07:00");
    for (int tick = 0; tick < 4; ++tick)
        f.form->poller->PollCd();
    EXPECT_EQ(f.form->lblTrackNo->caption(), "02:");
    EXPECT_EQ(f.form->lblTime->caption(), "01:07");
    EXPECT_EQ(f.state.LastTrack, 2);
    EXPECT_EQ(f.form->lblTracks[1]->foreColor(), 0x00FF00u);
    EXPECT_FALSE(f.state.PollSuspended);
    EXPECT_EQ(f.mciService->countPrefix("play"), 0);
}

TEST(PollCd, EjectDuringPlaybackDrawsNoDiscOnceAndReopensEveryTick)
{
    TransportFixture f;
    f.state.PollSuspended = false;
    f.form->poller->PollCd();
    ASSERT_EQ(f.form->lblTracks[0]->isEnabled(), true);

    f.form->transport->cmdEject_Click();
    EXPECT_FALSE(f.state.PollSuspended) << "eject leaves polling on";
    f.mciService->answer("status 2 media present", 276, "");
    f.mciService->answer("status 2 mode", "open");
    f.mciService->clearLog();
    for (int tick = 0; tick < 3; ++tick)
        f.form->poller->PollCd();

    EXPECT_EQ(f.state.TrackCount, "0");
    EXPECT_FALSE(f.form->lblTracks[0]->isEnabled());
    EXPECT_EQ(f.display(), "nomedia");
    EXPECT_EQ(f.mciService->count("close 2"), 3);
    EXPECT_EQ(f.mciService->count("open D: type \"cdaudio\" alias 2 notify"), 3);
    EXPECT_EQ(f.mciService->count("status 2 length"), 1) << "the grid is rebuilt on the first tick only";
    EXPECT_EQ(f.mciService->count("status 2 current track"), 0);
}

TEST(PollCd, DiscBackOnTheSameTrackRedrawsTheTrackNumber)
{
    TransportFixture f;
    f.state.PollSuspended = false;
    f.mciService->answer("status 2 mode", "playing");
    f.mciService->answer("status 2 current track", "1");
    f.form->poller->PollCd();
    ASSERT_EQ(f.form->lblTrackNo->caption(), "01:");

    f.mciService->answer("status 2 media present", 276, "");
    f.mciService->answer("status 2 mode", "open");
    f.form->poller->PollCd();
    ASSERT_EQ(f.form->lblTrackNo->caption(), "88:");

    f.mciService->answer("status 2 media present", "true");
    f.mciService->answer("status 2 mode", "playing");
    f.form->poller->PollCd();
    EXPECT_EQ(f.form->lblTrackNo->caption(), "01:");
}

TEST(PollCd, FailedTrackQueryEndsTheTickBeforeDrawing)
{
    TransportFixture f;
    f.state.PollSuspended = false;
    f.form->lblTime->setCaption("12:34");
    f.mciService->answer("status 2 current track", 276, "");
    f.form->poller->PollCd();
    EXPECT_EQ(f.form->lblTime->caption(), "12:34");
    EXPECT_EQ(f.mciService->count("status 2 position"), 0);
}

TEST(PollCd, FailedQueriesAtTheEndOfTheDiscNeverCountAsTheEnd)
{
    TransportFixture f;
    f.repeatShow("ALL");
    scriptEndOfDisc(f);
    f.mciService->answer("status 2 length", 276, "");
    f.mciService->answerSequence("status 2 position", {{0, "03:02:29:70"}, {276, ""}});
    f.form->poller->PollCd();
    EXPECT_EQ(f.mciService->countPrefix("play"), 0);
    EXPECT_TRUE(f.state.PollSuspended);
}

} // namespace
