#include "platform/engine/Platform.h"
#include "tests/platform/audio/WavReader.h"
#include "tests/platform/waveaudio/Signal.h"
#include "tests/platform/waveaudio/TestMedia.h"
#include "tests/support/NotifyFlags.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <gtest/gtest.h>

#include <vector>

using namespace kb;
using namespace kbtest;

namespace {

struct Session {
    explicit Session(const std::string& capture)
    {
        audio::SinkChoice choice;
        audio::SinkChoice::parse("capture:" + capture + ",speed=40", choice);
        platform = platform::makePlatform(choice);
    }
    std::string send(const std::string& command)
    {
        std::string reply;
        const uint32_t code = platform->mci->sendString(command, reply, &notify);
        return code == 0 ? reply : "Error:" + std::to_string(code);
    }
    bool waitNotified(size_t count)
    {
        QDeadlineTimer deadline(20000);
        while (notify.flags.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return notify.flags.size() >= count;
    }

    NotifyFlags notify;
    std::unique_ptr<platform::Platform> platform;
};

} // namespace

TEST(WaveAudioCommands, OpenPlayToTheEndAndReadTheStatusAsThePollerDoes)
{
    TempDir dir;
    const auto media = dir.fileUtf8("テスト 曲.wav");
    Sine sine;
    sine.samples = 33075; // 750 ms
    ASSERT_TRUE(writeSineWav(media, sine, 16));
    const auto capture = dir.fileUtf8("out.wav");
    {
        Session s(capture);
        ASSERT_EQ(s.send("open \"" + media + "\" alias 2 notify"), "1");
        ASSERT_TRUE(s.waitNotified(1));
        EXPECT_EQ(s.notify.flags[0], mci::NotifySuccessful);
        EXPECT_EQ(s.send("status 2 length"), "750");
        EXPECT_EQ(s.send("status 2 current track"), "1");
        EXPECT_EQ(s.send("set 2 time format ms"), "");
        EXPECT_EQ(s.send("status 2 time format"), "milliseconds");
        EXPECT_EQ(s.send("play 2 from 250 notify"), "");
        ASSERT_TRUE(s.waitNotified(2));
        EXPECT_EQ(s.notify.flags[1], mci::NotifySuccessful);
        EXPECT_EQ(s.send("status 2 mode"), "stopped");
        EXPECT_EQ(s.send("status 2 position"), "750");
        EXPECT_EQ(s.send("seek 2 to 751"), "Error:282");
        EXPECT_EQ(s.send("set 2 time format msf"), "Error:293");
        EXPECT_EQ(s.send("close 2"), "");

        EXPECT_EQ(s.send("open \"" + dir.fileUtf8("none.wav") + "\" alias 2"), "Error:275");
        ASSERT_FALSE(s.send("open waveaudio alias 3").starts_with("Error"));
        EXPECT_EQ(s.send("status 3 mode"), "stopped");
        EXPECT_EQ(s.send("status 3 length"), "Error:302");
    }
    const auto heard = readWav16(capture);
    const auto left = channel(heard.samples, 0);
    size_t last = left.size();
    while (last > 0 && left[last - 1] == 0)
        --last;
    EXPECT_NEAR(static_cast<double>(last), 22050.0, 2);
    EXPECT_NEAR(zeroCrossingFrequency(left, heard.rate), 1000.0, 1.0);
}
