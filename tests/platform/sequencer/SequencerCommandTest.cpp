// The sequencer through the real media control service, with the command texts the player
// sends.
#include "platform/mci/MciErrors.h"
#include "tests/platform/sequencer/MidiWriter.h"
#include "tests/support/Eventually.h"
#include "tests/support/PlatformCommands.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SequencerCommands : public kbtest::PlatformCommands {};

TEST_F(SequencerCommands, ThePlayersCommandsOnAJapaneseFileName)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("曲 フォルダ")));
    const std::string path = dir.fileUtf8(QStringLiteral("曲 フォルダ/テスト 曲.mid"));
    ASSERT_TRUE(kbtest::writeFile(path, kbtest::fourSecondSong()));

    ASSERT_EQ(send("open \"" + path + "\" alias 2 notify"), 0u);
    EXPECT_EQ(reply, "1");
    ASSERT_TRUE(kbtest::eventually([&] { return sink.flags.size() >= 1; }));
    EXPECT_EQ(sink.flags.size(), size_t(1));
    EXPECT_EQ(sink.flags[0], uint32_t(kb::mci::NotifySuccessful));

    ASSERT_EQ(send("set 2 time format smpte 24"), 0u);
    EXPECT_EQ(ask("status 2 length"), "00:00:04:00");
    EXPECT_EQ(ask("status 2 position"), "00:00:00:00");
    EXPECT_EQ(ask("status 2 mode"), "stopped");

    // The player shows characters 4..8 of these texts and compares them as text.
    ASSERT_EQ(send("seek 2 to 0:0:2"), 0u); // colon notation: 2 seconds
    EXPECT_EQ(ask("status 2 position"), "00:00:02:00");
    // No smpte field beyond its range: 60 seconds, 24 frames at 24 frames a second.
    EXPECT_EQ(send("seek 2 to 0:0:60:0"), uint32_t{kb::mci::MCIERR_OUTOFRANGE});
    EXPECT_EQ(send("seek 2 to 0:0:1:24"), uint32_t{kb::mci::MCIERR_OUTOFRANGE});
    EXPECT_EQ(ask("status 2 position"), "00:00:02:00");
    ASSERT_EQ(send("play 2"), 0u);
    EXPECT_EQ(ask("status 2 mode"), "playing");
    QTest::qWait(100);
    ASSERT_EQ(send("pause 2"), 0u);
    EXPECT_EQ(ask("status 2 mode"), "paused");
    const std::string held = ask("status 2 position");
    EXPECT_GE(held, "00:00:02:00");
    QTest::qWait(60);
    EXPECT_EQ(ask("status 2 position"), held);
    ASSERT_EQ(send("resume 2"), 0u);
    ASSERT_TRUE(waitFor("stopped", 10000));
    const std::string end = ask("status 2 position");
    EXPECT_EQ(end.substr(3, 5), "00:04");
    EXPECT_GE(end, ask("status 2 length")); // the player's end-of-file test

    ASSERT_EQ(send("seek 2 to 0"), 0u);
    ASSERT_EQ(send("play 2"), 0u);
    ASSERT_EQ(send("stop 2"), 0u);
    EXPECT_EQ(ask("status 2 mode"), "stopped");
    EXPECT_LT(ask("status 2 position"), "00:00:04:00");
    ASSERT_EQ(send("close 2"), 0u);
    EXPECT_NE(send("status 2 mode"), 0u);
    EXPECT_EQ(sink.flags.size(), size_t(1)); // only the open asked for a notification
}

TEST_F(SequencerCommands, OpenFailuresPostNothing)
{
    EXPECT_EQ(send("open \"" + dir.fileUtf8("無い.mid") + "\" alias 2 notify"), uint32_t(kb::mci::MCIERR_FILE_NOT_FOUND));
    QTest::qWait(50);
    EXPECT_TRUE(sink.flags.empty());
    EXPECT_NE(send("status 2 length"), 0u);
}

} // namespace
