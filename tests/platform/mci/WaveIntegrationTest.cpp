#include "platform/engine/Platform.h"
#include "tests/platform/mci/ServiceFixture.h"
#include "tests/support/SineWav.h"
#include "tests/support/TempDir.h"

using kb::mci::NotifyAborted;
using kb::mci::NotifySuccessful;
using kbtest::NotifySink;

namespace {

class WaveIntegration : public ::testing::Test {
protected:
    void SetUp() override
    {
        kb::audio::SinkChoice sink;
        sink.kind = kb::audio::SinkChoice::Kind::Null;
        sink.speed = 20;
        platform = kb::platform::makePlatform(sink);
        std::string reply;
        if (platform->mci->sendString("open waveaudio alias probe", reply, nullptr) != 0)
            GTEST_SKIP() << "waveaudio is not registered in this build";
        platform->mci->sendString("close probe", reply, nullptr);
        kbtest::Sine tone; // a second of 440 Hz, 16-bit stereo
        tone.frequency = 440;
        tone.amplitude = 0.25;
        ASSERT_TRUE(kbtest::writeSineWav(dir.fileUtf8("tone.wav"), tone, 16));
    }

    std::string send(const std::string& command)
    {
        std::string reply;
        const uint32_t rc = platform->mci->sendString(command, reply, &sink);
        return reply.empty() ? std::to_string(rc) : std::to_string(rc) + " " + reply;
    }

    kbtest::TempDir dir;
    std::unique_ptr<kb::platform::Platform> platform;
    NotifySink sink;
};

} // namespace

TEST_F(WaveIntegration, OpenStatusSeekAndPlayThroughTheRealDevice)
{
    ASSERT_EQ(send("open \"" + dir.fileUtf8("tone.wav") + "\" alias 2 notify"), "0 1");
    EXPECT_EQ(sink.codes(), std::vector<uint32_t>{NotifySuccessful});
    EXPECT_EQ(send("status 2 length"), "0 1000");
    EXPECT_EQ(send("seek 2 to 250"), "0");
    EXPECT_EQ(send("seek 2 to -5000"), "282");
    EXPECT_EQ(send("status 2 position"), "0 250");
    EXPECT_EQ(send("play 2 from 900 wait notify"), "0");
    EXPECT_EQ(send("status 2 mode"), "0 stopped");
    EXPECT_EQ(sink.codes(), std::vector<uint32_t>{NotifySuccessful});
    EXPECT_EQ(send("play 2 from 0 notify"), "0");
    EXPECT_EQ(send("close 2"), "0");
    EXPECT_EQ(sink.codes(), std::vector<uint32_t>{NotifyAborted});
}
