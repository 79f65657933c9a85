#include "platform/engine/Platform.h"
#include "tests/platform/mci/ServiceFixture.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

using kb::mci::NotifyAborted;
using kb::mci::NotifySuccessful;
using kbtest::NotifySink;

namespace {

// A 16-bit stereo 44.1 kHz sine WAV of the given length.
void writeSineWav(const QString& path, int milliseconds)
{
    const int frames = 44100 * milliseconds / 1000;
    QByteArray data;
    data.reserve(frames * 4);
    for (int i = 0; i < frames; ++i) {
        const auto sample = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / 44100));
        for (int channel = 0; channel < 2; ++channel) {
            char bytes[2];
            qToLittleEndian(sample, bytes);
            data.append(bytes, 2);
        }
    }
    QByteArray header("RIFF");
    auto put32 = [&](uint32_t v) { char b[4]; qToLittleEndian(v, b); header.append(b, 4); };
    auto put16 = [&](uint16_t v) { char b[2]; qToLittleEndian(v, b); header.append(b, 2); };
    put32(36 + data.size());
    header.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(2);
    put32(44100);
    put32(44100 * 4);
    put16(4);
    put16(16);
    header.append("data");
    put32(data.size());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(header + data);
}

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
        writeSineWav(dir.file("tone.wav"), 1000);
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
