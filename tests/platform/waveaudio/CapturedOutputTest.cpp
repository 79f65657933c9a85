#include "tests/platform/audio/WavReader.h"
#include "tests/platform/waveaudio/DeviceHarness.h"
#include "tests/platform/waveaudio/Signal.h"
#include "tests/platform/waveaudio/TestMedia.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace kb::mci;
using namespace kbtest;

namespace {

// Plays [from, to) samples of a file through a capture sink and returns what was heard.
Wav16 capturePlay(const std::string& media, const std::string& capture, std::optional<uint32_t> from,
                  std::optional<uint32_t> to, uint32_t level = 0xFFFFFFFFu)
{
    DeviceHarness h("capture:" + capture + ",speed=40");
    h.engine->levels().set(kb::audio::Line::WaveOut0, level);
    EXPECT_EQ(h.open(media), 0u);
    EXPECT_EQ(h.setFormat(TimeFormat::Samples), 0u);
    EXPECT_EQ(h.play(from, to, 1), 0u);
    PlayEnd how{};
    EXPECT_TRUE(h.events.waitFor(1, how));
    EXPECT_EQ(how, PlayEnd::Completed);
    h.device.reset();
    h.engine.reset();
    return readWav16(capture);
}

} // namespace

TEST(WaveAudioCapture, PlaysTheFileSamplesExactlyFromASeekPoint)
{
    TempDir dir;
    const auto media = dir.fileUtf8("a.wav");
    Sine sine;
    sine.frequency = 441.7;
    ASSERT_TRUE(writeSineWav(media, sine, 16));
    const auto file = readWav16(media);

    const auto heard = capturePlay(media, dir.fileUtf8("out.wav"), 12345, 12345 + 4410);
    ASSERT_GE(heard.frames(), 4410u);
    const std::vector<int16_t> expected(file.samples.begin() + 2 * 12345, file.samples.begin() + 2 * (12345 + 4410));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), heard.samples.begin()));
    // Whatever follows is the silent tail the sink still played.
    for (size_t i = expected.size(); i < heard.samples.size(); ++i)
        ASSERT_EQ(heard.samples[i], 0) << i;
}

TEST(WaveAudioCapture, ConvertsTheRateAndAppliesTheWaveOutLevel)
{
    TempDir dir;
    const auto media = dir.fileUtf8("a.wav");
    Sine sine;
    sine.rate = 48000;
    sine.channels = 1;
    sine.samples = 48000;
    sine.amplitude = 0.8;
    ASSERT_TRUE(writeSineWav(media, sine, 24));

    const auto full = capturePlay(media, dir.fileUtf8("full.wav"), std::nullopt, std::nullopt);
    const auto left = channel(full.samples, 0);
    EXPECT_NEAR(zeroCrossingFrequency(left, full.rate), 1000.0, 1.0);
    // The signal is one second long; after it comes only the silent tail of the sink.
    size_t last = left.size();
    while (last > 0 && left[last - 1] == 0)
        --last;
    EXPECT_NEAR(static_cast<double>(last), 44100.0, 8);
    EXPECT_NEAR(peak(left), 0.8 * 32767, 300);
    EXPECT_EQ(channel(full.samples, 1), left);

    const auto half = capturePlay(media, dir.fileUtf8("half.wav"), std::nullopt, std::nullopt, 0x80008000u);
    EXPECT_NEAR(peak(channel(half.samples, 0)), 0.4 * 32767, 300);
}

TEST(WaveAudioCapture, Mp3HasItsExactLengthAndSeeksWithinAFrame)
{
    if (!haveMp3Encoder())
        GTEST_SKIP() << "this FFmpeg has no MP3 encoder";
    TempDir dir;
    const auto media = dir.fileUtf8("a.mp3");
    Sine sine;
    sine.samples = 44100 * 2;
    ASSERT_TRUE(writeSineMp3(media, sine));
    {
        DeviceHarness h("null");
        ASSERT_EQ(h.open(media), 0u);
        EXPECT_EQ(h.status(StatusItem::Length), "2000");
        ASSERT_EQ(h.setFormat(TimeFormat::Samples), 0u);
        EXPECT_EQ(h.number(StatusItem::Length), 88200);
        ASSERT_EQ(h.setFormat(TimeFormat::Bytes), 0u);
        EXPECT_EQ(h.number(StatusItem::Length), 88200 * 4);
    }

    const auto whole = capturePlay(media, dir.fileUtf8("whole.wav"), std::nullopt, std::nullopt);
    ASSERT_GE(whole.frames(), 88200u);
    EXPECT_NEAR(zeroCrossingFrequency(channel(whole.samples, 0), whole.rate), 1000.0, 1.0);

    // The piece from a seek point lines up with the same stretch of the whole play.
    const int64_t from = 50000, count = 4410;
    const auto piece = capturePlay(media, dir.fileUtf8("piece.wav"), from, from + count);
    ASSERT_GE(piece.frames(), static_cast<size_t>(count));
    const auto p = channel(piece.samples, 0);
    const auto w = channel(whole.samples, 0);
    int64_t bestShift = 0;
    double bestError = 1e300;
    for (int64_t shift = -1152; shift <= 1152; ++shift) {
        double error = 0;
        for (int64_t i = 0; i < count; ++i) {
            const double d = p[static_cast<size_t>(i)] - w[static_cast<size_t>(from + shift + i)];
            error += d * d;
        }
        if (error < bestError) {
            bestError = error;
            bestShift = shift;
        }
    }
    EXPECT_EQ(bestShift, 0);
    EXPECT_LT(std::sqrt(bestError / count), 200.0);
}

TEST(WaveAudioCapture, LowRateMonoMp3)
{
    if (!haveMp3Encoder())
        GTEST_SKIP() << "this FFmpeg has no MP3 encoder";
    TempDir dir;
    const auto media = dir.fileUtf8("low.mp3");
    Sine sine;
    sine.rate = 22050;
    sine.channels = 1;
    sine.samples = 22050 + 100;
    ASSERT_TRUE(writeSineMp3(media, sine, 64000));
    DeviceHarness h("null");
    ASSERT_EQ(h.open(media), 0u);
    ASSERT_EQ(h.setFormat(TimeFormat::Samples), 0u);
    EXPECT_EQ(h.number(StatusItem::Length), 22150);
}
