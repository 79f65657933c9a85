#include "TransportFixture.h"

#include "mci/DeviceModes.h"
#include "titles/TitleEditing.h"
#include "titles/frmEdit.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

struct Row {
    bool suspended;
    bool fromStart;
    bool timer;
    bool pauseToggle;
    QString display;
};

Row rowOf(const TransportFixture& f)
{
    return {f.state.PollSuspended, f.state.PlayFromTrackStart, f.form->timCD->isActive(),
            f.form->transport->PauseToggle, f.display()};
}

void expectRow(const TransportFixture& f, const Row& want)
{
    const Row got = rowOf(f);
    EXPECT_EQ(got.suspended, want.suspended) << "PollSuspended";
    EXPECT_EQ(got.fromStart, want.fromStart) << "PlayFromTrackStart";
    EXPECT_EQ(got.timer, want.timer) << "timCD";
    EXPECT_EQ(got.pauseToggle, want.pauseToggle) << "PauseToggle";
    EXPECT_EQ(got.display, want.display);
}

TEST(Transport, PlayFromTrackStartPlaysTheCurrentTrackOtherwisePlaysOn)
{
    TransportFixture f;
    f.mciService->answer("status 2 current track", "2");
    f.mciService->answer("status 2 position track 2", "02:00:00:00");
    f.state.PollSuspended = true;
    f.state.PlayFromTrackStart = true;
    f.form->transport->cmdPlay_Click();
    EXPECT_EQ(f.commands(), (QStringList{"status 2 current track", "status 2 position track 2",
                                         "play 2 from 02:00:00:00"}));
    EXPECT_EQ(f.state.CurTrack, 2);
    expectRow(f, {false, true, false, false, "playing"});

    f.mciService->clearLog();
    f.state.PlayFromTrackStart = false;
    f.form->transport->cmdPlay_Click();
    EXPECT_EQ(f.commands(), QStringList{"play 2"});
}

TEST(Transport, MidiPlayFromStartReopensTheSelectedFile)
{
    TransportFixture f;
    f.listFiles("sequencer", {"/m/a.mid", "/m/b.mid"}, 2);
    f.state.PlayFromTrackStart = true;
    f.form->transport->cmdPlay_Click();
    EXPECT_EQ(f.commands(), (QStringList{"stop 2", "close 2", "open \"/m/b.mid\" alias 2 notify", "play 2"}));
    EXPECT_TRUE(f.state.OpenPending);
}

TEST(Transport, PauseAndResumeFollowTheStateTable)
{
    TransportFixture f;
    f.form->timCD->start();
    f.form->transport->cmdPause_Click();
    EXPECT_EQ(f.commands(), QStringList{"pause 2"});
    expectRow(f, {true, false, false, true, "playing"});
    EXPECT_FALSE(f.form->lblPause->isHidden());

    // Play while paused plays on but leaves the pause state as it was.
    f.mciService->clearLog();
    f.form->transport->cmdPlay_Click();
    EXPECT_EQ(f.commands(), QStringList{"play 2"});
    expectRow(f, {false, false, false, true, "playing"});

    // Stop while paused keeps PauseToggle: the next Pause resumes (play for a CD).
    f.form->transport->cmdStop_Click();
    f.mciService->clearLog();
    f.form->transport->cmdPause_Click();
    EXPECT_EQ(f.commands(), QStringList{"play 2"});
    expectRow(f, {false, false, true, false, "playing"});
    EXPECT_TRUE(f.form->lblPause->isHidden());

    f.state.CurDeviceType = "waveaudio";
    f.form->transport->cmdPause_Click();
    f.mciService->clearLog();
    f.form->transport->cmdPause_Click();
    EXPECT_EQ(f.commands(), QStringList{"resume 2"});
}

TEST(Transport, StopSuspendsAndMarksTheTrackStart)
{
    TransportFixture f;
    f.state.PlayFromTrackStart = false;
    f.form->transport->cmdStop_Click();
    EXPECT_EQ(f.commands(), QStringList{"stop 2"});
    expectRow(f, {true, true, false, false, "stopped"});
}

TEST(Transport, SkipsSeekTenSecondsAndPlayOn)
{
    TransportFixture f;
    f.mciService->answer("status 2 time format", "tmsf");
    f.mciService->answer("status 2 position", "4000");
    f.state.PollSuspended = true;
    f.form->transport->cmdRR_Click();
    EXPECT_EQ(f.commands(), (QStringList{"stop 2", "status 2 time format", "set 2 time format milliseconds",
                                         "status 2 position", "seek 2 to -6000", "set 2 time format tmsf",
                                         "play 2"}));
    expectRow(f, {false, false, false, false, "playing"});

    f.mciService->clearLog();
    f.form->transport->cmdFF_Click();
    EXPECT_EQ(f.mciService->count("seek 2 to 14000"), 1);
    EXPECT_EQ(f.mciService->lastCommand(), "play 2");
}

TEST(Transport, TrackCommandsMoveAndRefreshTheRepeatedTrack)
{
    TransportFixture f;
    f.repeatShow("ONE", "1");
    f.mciService->answer("status 2 current track", "3");
    f.mciService->answer("status 2 position track 4", 282, "");
    f.mciService->answerPrefix("play 2 from Error", 282);
    f.mciService->answer("status 2 position track 1", "01:00:00:00");
    f.state.PollSuspended = true;
    f.form->transport->cmdNext_Click();
    EXPECT_EQ(f.mciService->count("play 2 from 01:00:00:00"), 1) << "after the last track comes track 1";
    expectRow(f, {false, true, false, false, "playing"});
    EXPECT_EQ(f.state.RepeatOneTrack, "3");

    f.mciService->clearLog();
    f.mciService->answer("status 2 current track", "1");
    f.form->transport->cmdPrev_Click();
    EXPECT_EQ(f.mciService->count("play 2 from 01:00:00:00"), 1) << "previous on track 1 restarts it";
    EXPECT_EQ(f.state.RepeatOneTrack, "1");
}

TEST(Transport, FirstAndLastEnableTheTimer)
{
    TransportFixture f;
    f.mciService->answer("status 2 position track 3", "03:00:00:00");
    f.mciService->answer("status 2 position track 1", "01:00:00:00");
    f.state.PollSuspended = true;
    f.form->transport->cmdBottom_Click();
    EXPECT_EQ(f.commands(), (QStringList{"status 2 number of tracks", "status 2 position track 3",
                                         "play 2 from 03:00:00:00"}));
    expectRow(f, {false, true, true, false, "playing"});

    f.form->timCD->stop();
    f.mciService->clearLog();
    f.form->transport->cmdTop_Click();
    EXPECT_EQ(f.commands(), (QStringList{"status 2 position track 1", "play 2 from 01:00:00:00"}));
    expectRow(f, {false, true, true, false, "playing"});
}

TEST(Transport, EjectTogglesTheDoorByThePresenceOfADisc)
{
    TransportFixture f;
    f.state.PollSuspended = true;
    f.form->transport->cmdEject_Click();
    EXPECT_EQ(f.commands(), (QStringList{"status 2 media present", "stop 2", "set 2 door open", "close 2"}));
    expectRow(f, {true, false, false, false, "nomedia"});

    f.mciService->clearLog();
    f.mciService->answer("status 2 media present", 263, "");
    f.form->transport->cmdEject_Click();
    EXPECT_EQ(f.commands(), (QStringList{"status 2 media present", "close 2",
                                         "open \"cdaudio\" alias 2 notify", "set 2 door closed"}));
    EXPECT_TRUE(f.state.PollSuspended);
}

TEST(Transport, PopupItemsRunTheCommandsAndCommandsGiveTheFocusBack)
{
    TransportFixture f;
    f.form->show();
    f.form->modes->ShowPlayingState();
    f.form->lvwFileList->setFocus();
    f.form->mnuPopUpPause->trigger();
    EXPECT_EQ(f.form->focusWidget(), f.form->txtDummy);
    f.form->mnuPopUpPause->trigger();
    f.form->mnuPopUpStop->trigger();
    f.form->mnuPopUpEject->trigger();
    EXPECT_EQ(f.commands(), (QStringList{"pause 2", "play 2", "stop 2", "status 2 media present", "stop 2",
                                         "set 2 door open", "close 2"}));
}

TEST(Transport, FrameClickDoesWhatAStripClickDoes)
{
    TransportFixture f;
    f.form->titleEditing->showModal = [](frmEdit&) {};
    int stripClicks = 0;
    QObject::connect(f.form->picCenter, &PictureBox::clicked, [&] { ++stripClicks; });
    f.form->transport->picFrame_Click();
    EXPECT_EQ(stripClicks, 1);
}

} // namespace
