// The video device through the real media control service, with the command texts the
// player sends.
#include "platform/mci/MciErrors.h"
#include "tests/platform/avivideo/TestVideo.h"
#include "tests/support/Eventually.h"
#include "tests/support/PlatformCommands.h"

#include <QDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class VideoCommands : public kbtest::PlatformCommands {
protected:
    int number(const std::string& command) { return std::stoi(ask(command)); }
};

TEST_F(VideoCommands, ThePlayersCommandsOnJapaneseFileNames)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("ビデオ 集")));
    for (const char* format : {"mpeg", "avi"}) {
        SCOPED_TRACE(format);
        const QString name = QStringLiteral("ビデオ 集/映像 %1.%2").arg(format, format == std::string("avi") ? "avi" : "mpg");
        const std::string path = dir.fileUtf8(name);
        ASSERT_TRUE(kbtest::writeTestVideo(path, {format, 2, 25, 160, 120, true, true}));
        sink.flags.clear();

        ASSERT_EQ(send("open \"" + path + "\" alias 2 notify"), 0u);
        ASSERT_TRUE(kbtest::eventually([&] { return sink.flags.size() >= 1; }));
        EXPECT_EQ(sink.flags.size(), size_t(1));
        EXPECT_EQ(sink.flags[0], uint32_t(kb::mci::NotifySuccessful));

        QWidget picVideo;
        picVideo.resize(213, 213);
        picVideo.show();
        ASSERT_EQ(send("window 2 handle " + std::to_string(picVideo.winId())), 0u);
        ASSERT_EQ(send("put 2 destination at 0 0 213 213"), 0u);

        ASSERT_EQ(send("set 2 time format frame"), 0u);
        EXPECT_NEAR(number("status 2 length"), 50, 2); // the container's length, sound included
        ASSERT_EQ(send("seek 2 to 30"), 0u);
        EXPECT_EQ(ask("status 2 position"), "30");
        // 4:3 in a 213 square: the picture fills the width, 160 high, from y 26.
        EXPECT_TRUE(kbtest::eventually([&] {
            return kbtest::readFrameNumber(picVideo.grab().toImage(), QRect(0, 26, 213, 160)) == 30;
        }));

        ASSERT_EQ(send("set 2 time format ms"), 0u);
        EXPECT_EQ(ask("status 2 position"), "1200");
        const int length = number("status 2 length");
        EXPECT_NEAR(length, 2000, 80);
        ASSERT_EQ(send("play 2"), 0u);
        EXPECT_EQ(ask("status 2 mode"), "playing");
        QTest::qWait(50);
        ASSERT_EQ(send("pause 2"), 0u);
        EXPECT_EQ(ask("status 2 mode"), "paused");
        const int held = number("status 2 position");
        EXPECT_GE(held, 1200);
        ASSERT_EQ(send("resume 2"), 0u);
        ASSERT_TRUE(waitFor("stopped", 10000));
        EXPECT_GE(number("status 2 position"), length); // the player's end-of-file test

        ASSERT_EQ(send("seek 2 to 0"), 0u);
        ASSERT_EQ(send("play 2"), 0u);
        ASSERT_EQ(send("stop 2"), 0u);
        EXPECT_EQ(ask("status 2 mode"), "stopped");
        EXPECT_LT(number("status 2 position"), length);
        ASSERT_EQ(send("close 2"), 0u);
        EXPECT_EQ(sink.flags.size(), size_t(1)); // only the open asked for a notification
    }
}

TEST_F(VideoCommands, SmpteIsNotAVideoFormat)
{
    const std::string path = dir.fileUtf8("a b.avi");
    ASSERT_TRUE(kbtest::writeTestVideo(path, {"avi", 1, 25, 160, 120, true, false}));
    ASSERT_EQ(send("open \"" + path + "\" alias 2 notify"), 0u);
    EXPECT_EQ(send("set 2 time format smpte 24"), uint32_t(kb::mci::MCIERR_BAD_TIME_FORMAT));
    EXPECT_EQ(ask("status 2 time format"), "frames");
    EXPECT_NE(send("window 2 handle 1"), 0u); // no window has that id
}

} // namespace
