#include "mci/modMci.h"
#include "platform/mci/MciErrors.h"
#include "tests/support/ScriptedMciService.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

class NotifyProbe : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == kb::mci::MciNotifyEvent::type()) {
            flags = static_cast<kb::mci::MciNotifyEvent*>(e)->flags();
            return true;
        }
        return QObject::event(e);
    }
    uint32_t flags = 0;
};

class ModMciTest : public testing::Test {
protected:
    ModMciTest() { mci.setCallbackWindow(&window); }

    PlayerState state;
    kbtest::ScriptedMciService service;
    ModMci mci{state, service};
    NotifyProbe window;
};

TEST_F(ModMciTest, CommandWrappersSendExactTexts)
{
    EXPECT_EQ(mci.MciOpen("/a b/x.avi", "2", ""), 0);
    EXPECT_EQ(mci.MciOpen("cdaudio", "2", "E: type "), 0);
    EXPECT_EQ(mci.MciOpen("waveaudio", "2", ""), 0);
    mci.MciClose("2");
    mci.MciStop("2");
    mci.MciPause("2");
    mci.MciResume("2");
    mci.MciSeek(-5000, "2");
    mci.MciSeek(120000, "2");
    mci.MciSetTimeFormat("tmsf", "2");
    mci.MciDoorOpen("2");
    mci.MciDoorClosed("2");
    mci.MciSetWindow("2", 4711);
    mci.MciPutDestination("2", 0, -3, 320, 240);
    mci.MciGetIdentity("2");

    const QStringList expected{
        R"(open "/a b/x.avi" alias 2 notify)",
        R"(open E: type "cdaudio" alias 2 notify)",
        R"(open "waveaudio" alias 2 notify)",
        "close 2",
        "stop 2",
        "pause 2",
        "resume 2",
        "seek 2 to -5000",
        "seek 2 to 120000",
        "set 2 time format tmsf",
        "set 2 door open",
        "set 2 door closed",
        "window 2 handle 4711",
        "put 2 destination at 0 -3 320 240",
        "info 2 identity",
    };
    EXPECT_EQ(service.commands(), expected);
}

TEST_F(ModMciTest, PlayChoosesTextByFromAndTo)
{
    mci.MciPlay("2");
    mci.MciPlay("2", "3");
    mci.MciPlay("2", "", "7");
    mci.MciPlay("2", "01:00:00:00", "02:00:00:00");
    EXPECT_EQ(service.commands(),
              (QStringList{"play 2", "play 2 from 3", "play 2 to 7",
                           "play 2 from 01:00:00:00 to 02:00:00:00"}));
}

TEST_F(ModMciTest, StatusQueriesSendExactTextsAndReturnReplies)
{
    service.answer("status 2 position", "01:02:03:04");
    service.answer("status 2 length", "4321");
    service.answer("status 2 current track", "5");
    service.answer("status 2 position track 7", "07:00:00:00");
    service.answer("status 2 media present", "true");
    service.answer("status 2 number of tracks", "12");
    service.answer("status 2 time format", "tmsf");

    EXPECT_EQ(mci.MciGetPosition("2"), "01:02:03:04");
    EXPECT_EQ(mci.MciGetLength("2"), "4321");
    EXPECT_EQ(mci.MciGetCurrentTrack("2"), "5");
    EXPECT_EQ(mci.MciGetTrackPosition("2", "7"), "07:00:00:00");
    EXPECT_EQ(mci.MciGetMediaPresent("2"), "true");
    EXPECT_EQ(mci.MciGetTrackCount("2"), "12");
    EXPECT_EQ(mci.MciGetTimeFormat("2"), "tmsf");
    EXPECT_EQ(state.LastMciText, "tmsf");
}

TEST_F(ModMciTest, FailuresBecomeCodesAndErrorTexts)
{
    service.answer("status 2 position", kb::mci::MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(mci.MciStatus("status 2 position"), "Error:263");
    EXPECT_EQ(state.LastMciText.toStdString(),
              std::string(kb::mci::errorText(kb::mci::MCIERR_INVALID_DEVICE_NAME)));
    EXPECT_FALSE(state.LastMciText.isEmpty());

    service.answer("stop 2", kb::mci::MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(mci.MciStop("2"), static_cast<int32_t>(kb::mci::MCIERR_DEVICE_NOT_READY));

    // A code the service has no text for leaves "Error".
    service.answer("pause 2", 9999);
    EXPECT_EQ(mci.MciPause("2"), 9999);
    EXPECT_EQ(state.LastMciText, "Error");

    // Success replaces an earlier error text.
    EXPECT_EQ(mci.MciResume("2"), 0);
    EXPECT_EQ(state.LastMciText, "");
}

TEST_F(ModMciTest, EmptyCommandIsNotSent)
{
    QString reply = "old";
    EXPECT_EQ(mci.MciSend("", reply, &window), -1);
    EXPECT_EQ(reply, "Error");
    EXPECT_TRUE(service.log().empty());
}

TEST_F(ModMciTest, ReplyEndsAtFirstNul)
{
    service.answer("info 2 identity", std::string("12345\0junk", 10));
    EXPECT_EQ(mci.MciGetIdentity("2"), 0);
    EXPECT_EQ(state.LastMciText, "12345");
}

TEST_F(ModMciTest, OpenRefusesDeviceNameWithQuote)
{
    const int32_t code = mci.MciOpen(R"(/music/a" type waveaudio alias x.wav)", "2", "");
    EXPECT_EQ(code, static_cast<int32_t>(kb::mci::MCIERR_FILE_NOT_FOUND));
    EXPECT_TRUE(service.log().empty());
    EXPECT_EQ(state.LastMciText.toStdString(),
              std::string(kb::mci::errorText(kb::mci::MCIERR_FILE_NOT_FOUND)));
}

TEST_F(ModMciTest, OpenNotificationReachesCallbackWindow)
{
    ASSERT_EQ(mci.MciOpen("cdaudio", "2", "D: type "), 0);
    ASSERT_TRUE(service.hasPendingNotify());
    EXPECT_EQ(service.pendingCallback(), &window);
    service.deliverPendingNotify(kb::mci::NotifySuccessful);
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(window.flags, kb::mci::NotifySuccessful);
}

TEST_F(ModMciTest, UnicodePathsPassUnchanged)
{
    mci.MciOpen("/音楽/ｱﾙﾊﾞﾑ.wav", "2", "");
    EXPECT_EQ(service.lastCommand(), "open \"/音楽/ｱﾙﾊﾞﾑ.wav\" alias 2 notify");
}

TEST_F(ModMciTest, PlayTrackPlaysFromTrackPosition)
{
    service.answer("status 2 position track 3", "03:00:00:00");
    EXPECT_EQ(mci.MciPlayTrack(3, "2"), 0);
    EXPECT_EQ(service.commands(),
              (QStringList{"status 2 position track 3", "play 2 from 03:00:00:00"}));
}

TEST_F(ModMciTest, NextTrackPlaysFollowingTrack)
{
    service.answer("status 2 current track", "4");
    service.answer("status 2 position track 5", "05:00:00:00");
    EXPECT_EQ(mci.MciNextTrack("2"), 5);
    EXPECT_EQ(service.commands(),
              (QStringList{"status 2 current track", "status 2 position track 5",
                           "play 2 from 05:00:00:00"}));
}

TEST_F(ModMciTest, NextTrackOnLastTrackWrapsToFirst)
{
    service.answer("status 2 current track", "9");
    service.answer("status 2 position track 10", kb::mci::MCIERR_OUTOFRANGE);
    service.answer("play 2 from Error:282", kb::mci::MCIERR_BAD_INTEGER);
    service.answer("status 2 position track 1", "01:00:00:00");
    EXPECT_EQ(mci.MciNextTrack("2"), 1);
    EXPECT_EQ(service.commands(),
              (QStringList{"status 2 current track", "status 2 position track 10",
                           "play 2 from Error:282", "status 2 position track 1",
                           "play 2 from 01:00:00:00"}));
}

TEST_F(ModMciTest, NextTrackWithUnreadableCurrentTrackAsksForTrackOne)
{
    service.answer("status 2 current track", kb::mci::MCIERR_DEVICE_NOT_READY);
    service.answer("status 2 position track 1", "01:00:00:00");
    EXPECT_EQ(mci.MciNextTrack("2"), 1);
    EXPECT_EQ(service.count("status 2 position track 1"), 1);
    EXPECT_EQ(service.lastCommand(), "play 2 from 01:00:00:00");
}

TEST_F(ModMciTest, PrevTrackStepsBackAndStopsAtOne)
{
    service.answerSequence("status 2 current track", {{0, "3"}, {0, "1"}});
    service.answer("status 2 position track 2", "02:00:00:00");
    service.answer("status 2 position track 1", "01:00:00:00");
    EXPECT_EQ(mci.MciPrevTrack("2"), 2);
    EXPECT_EQ(service.lastCommand(), "play 2 from 02:00:00:00");
    service.clearLog();
    EXPECT_EQ(mci.MciPrevTrack("2"), 1);
    EXPECT_EQ(service.commands(),
              (QStringList{"status 2 current track", "status 2 position track 1",
                           "play 2 from 01:00:00:00"}));
}

TEST_F(ModMciTest, ForwardAndRewindSeekInMillisecondsAndRestoreFormat)
{
    service.answer("status 2 time format", "tmsf");
    service.answer("status 2 position", "65000");
    EXPECT_EQ(mci.MciForward("2", 10000), 0);
    EXPECT_EQ(service.commands(),
              (QStringList{"status 2 time format", "set 2 time format milliseconds",
                           "status 2 position", "seek 2 to 75000", "set 2 time format tmsf"}));
    service.clearLog();
    service.answer("status 2 position", "4000");
    service.answer("seek 2 to -6000", kb::mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(mci.MciRewind("2", 10000), static_cast<int32_t>(kb::mci::MCIERR_OUTOFRANGE));
    EXPECT_EQ(service.commands(),
              (QStringList{"status 2 time format", "set 2 time format milliseconds",
                           "status 2 position", "seek 2 to -6000", "set 2 time format tmsf"}));
}

TEST_F(ModMciTest, SkipWithUnreadablePositionSendsNoSeek)
{
    service.answer("status 2 time format", "tmsf");
    service.answer("status 2 position", kb::mci::MCIERR_DEVICE_NOT_READY);
    EXPECT_EQ(mci.MciForward("2", 10000), static_cast<int32_t>(kb::mci::MCIERR_DEVICE_NOT_READY));
    EXPECT_EQ(service.countPrefix("seek"), 0);
    EXPECT_EQ(service.lastCommand(), "status 2 position");

    service.clearLog();
    service.answer("status 2 position", "garbage");
    EXPECT_EQ(mci.MciRewind("2", 10000), static_cast<int32_t>(kb::mci::MCIERR_BAD_INTEGER));
    EXPECT_EQ(service.countPrefix("seek"), 0);
}

} // namespace

namespace {

TEST(ScriptedMciService, RulesApplyInOrderOfPrecedence)
{
    kbtest::ScriptedMciService s;
    std::string reply;
    s.answerRegex(R"(status 2 position track \d+)", 0, "regex");
    s.answerPrefix("status 2", 0, "short");
    s.answerPrefix("status 2 position", 0, "long");
    s.answer("status 2 position track 1", "exact");
    s.answerSequence("status 2 mode", {{0, "playing"}, {0, "stopped"}});

    EXPECT_EQ(s.sendString("status 2 position track 1", reply, nullptr), 0u);
    EXPECT_EQ(reply, "exact");
    s.sendString("status 2 position track 4", reply, nullptr);
    EXPECT_EQ(reply, "long");
    s.sendString("status 2 length", reply, nullptr);
    EXPECT_EQ(reply, "short");
    s.sendString("status 2 mode", reply, nullptr);
    EXPECT_EQ(reply, "playing");
    s.sendString("status 2 mode", reply, nullptr);
    s.sendString("status 2 mode", reply, nullptr);
    EXPECT_EQ(reply, "stopped");
    s.sendString("info 3 product", reply, nullptr);
    EXPECT_EQ(reply, "");
    s.clearScript();
    s.answerRegex(R"(seek 2 to -?\d+)", kb::mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(s.sendString("seek 2 to -5", reply, nullptr), kb::mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(s.sendString("seek 2 to x", reply, nullptr), 0u);
    EXPECT_EQ(s.count("status 2 mode"), 3);
    EXPECT_EQ(s.log().size(), 9u);
}

} // namespace
