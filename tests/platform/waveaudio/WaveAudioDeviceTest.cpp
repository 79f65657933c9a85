#include "tests/platform/audio/WavReader.h"
#include "tests/platform/waveaudio/DeviceHarness.h"
#include "tests/platform/waveaudio/Signal.h"
#include "tests/platform/waveaudio/TestMedia.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kb::mci;
using namespace kbtest;
using namespace std::chrono_literals;

namespace {

constexpr const char* kFastNull = "null,speed=50";

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(WaveAudioDevice, ReportsExactLengthsOfEveryWavFormat)
{
    TempDir dir;
    struct Case {
        int bits, channels, rate;
    };
    for (const Case c : {Case{8, 1, 22050}, Case{16, 2, 44100}, Case{24, 2, 48000}, Case{16, 1, 48000}}) {
        SCOPED_TRACE(testing::Message() << c.bits << " bit, " << c.channels << " ch, " << c.rate);
        Sine sine;
        sine.rate = c.rate;
        sine.channels = c.channels;
        sine.samples = c.rate * 3 / 2 + 7;
        const auto path = dir.fileUtf8(QString("s%1_%2_%3.wav").arg(c.bits).arg(c.channels).arg(c.rate));
        ASSERT_TRUE(writeSineWav(path, sine, c.bits));

        DeviceHarness h(kFastNull);
        ASSERT_EQ(h.open(path), 0u);
        EXPECT_EQ(h.status(StatusItem::TimeFormat), "milliseconds");
        EXPECT_EQ(h.number(StatusItem::Length), sine.samples * 1000 / c.rate);
        ASSERT_EQ(h.setFormat(TimeFormat::Samples), 0u);
        EXPECT_EQ(h.status(StatusItem::TimeFormat), "samples");
        EXPECT_EQ(h.number(StatusItem::Length), sine.samples);
        ASSERT_EQ(h.setFormat(TimeFormat::Bytes), 0u);
        EXPECT_EQ(h.status(StatusItem::TimeFormat), "bytes");
        EXPECT_EQ(h.number(StatusItem::Length), sine.samples * c.channels * c.bits / 8);
        EXPECT_EQ(h.status(StatusItem::Position), "0");
    }
}

TEST(WaveAudioDevice, AnswersTheSingleTrackItemsAndRefusesOtherFormats)
{
    TempDir dir;
    const auto path = dir.fileUtf8("a.wav");
    ASSERT_TRUE(writeSineWav(path, Sine{}, 16));
    DeviceHarness h(kFastNull);
    ASSERT_EQ(h.open(path), 0u);
    EXPECT_EQ(h.status(StatusItem::Mode), "stopped");
    EXPECT_EQ(h.status(StatusItem::CurrentTrack), "1");
    EXPECT_EQ(h.status(StatusItem::NumberOfTracks), "1");
    EXPECT_EQ(h.status(StatusItem::MediaPresent), "true");
    EXPECT_EQ(h.status(StatusItem::Ready), "true");
    EXPECT_EQ(h.status(StatusItem::StartPosition), "0");
    EXPECT_EQ(h.status(StatusItem::Position, 1), "0");
    EXPECT_EQ(h.status(StatusItem::Length, 1), "1000");
    EXPECT_EQ(h.status(StatusItem::Length, 2), "Error:282");

    for (auto f : {TimeFormat::Msf, TimeFormat::Tmsf, TimeFormat::Frames, TimeFormat::Smpte24, TimeFormat::Hms})
        EXPECT_EQ(h.setFormat(f), MCIERR_BAD_TIME_FORMAT);
    EXPECT_EQ(h.status(StatusItem::TimeFormat), "milliseconds");

    std::string reply;
    ASSERT_EQ(h.device->info(InfoItem::File, reply), 0u);
    EXPECT_EQ(reply, path);
    ASSERT_EQ(h.device->info(InfoItem::Product, reply), 0u);
    EXPECT_FALSE(reply.empty());
    ASSERT_EQ(h.device->capability(CapabilityItem::DeviceType, reply), 0u);
    EXPECT_EQ(reply, "waveaudio");
    ASSERT_EQ(h.device->capability(CapabilityItem::HasVideo, reply), 0u);
    EXPECT_EQ(reply, "false");
}

TEST(WaveAudioDevice, BareDeviceHasNoMedium)
{
    DeviceHarness h(kFastNull);
    ASSERT_EQ(h.open(""), 0u);
    EXPECT_EQ(h.status(StatusItem::Mode), "stopped");
    EXPECT_EQ(h.status(StatusItem::MediaPresent), "false");
    EXPECT_EQ(h.status(StatusItem::Length), "Error:302");
    EXPECT_EQ(h.status(StatusItem::Position), "Error:302");
    EXPECT_EQ(h.play(std::nullopt, std::nullopt, 1), MCIERR_NONAPPLICABLE_FUNCTION);
    EXPECT_EQ(h.seekTo(0), MCIERR_NONAPPLICABLE_FUNCTION);
    EXPECT_EQ(h.device->stop(), 0u);
    EXPECT_EQ(h.setFormat(TimeFormat::Samples), 0u);
}

TEST(WaveAudioDevice, RefusesMissingDamagedAndForeignFiles)
{
    TempDir dir;
    DeviceHarness h(kFastNull);
    EXPECT_EQ(h.open(dir.fileUtf8("missing.wav")), MCIERR_FILE_NOT_FOUND);

    const auto good = dir.fileUtf8("good.wav");
    Sine sine;
    ASSERT_TRUE(writeSineWav(good, sine, 16));
    std::ifstream in(good, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    const auto truncated = dir.fileUtf8("truncated.wav");
    writeBytes(truncated, bytes.substr(0, bytes.size() / 2));
    const auto headerOnly = dir.fileUtf8("header.wav");
    writeBytes(headerOnly, bytes.substr(0, 30));
    const auto text = dir.fileUtf8("text.wav");
    writeBytes(text, "this is not a sound file at all\n");
    const auto empty = dir.fileUtf8("empty.mp3");
    writeBytes(empty, "");
    const auto noise = dir.fileUtf8("noise.mp3");
    std::string garbage(20000, '\0');
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 251);
    writeBytes(noise, garbage);
    for (const auto& bad : {truncated, headerOnly, text, empty, noise, dir.path().toStdString()}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(h.open(bad), MCIERR_INVALID_FILE);
    }

    // A failed open leaves the device usable for the next file.
    EXPECT_EQ(h.open(good), 0u);
    EXPECT_EQ(h.status(StatusItem::Length), "1000");
}

TEST(WaveAudioDevice, OpensPathsWithBlanksQuotesAndJapanese)
{
    TempDir dir;
    std::filesystem::create_directories(dir.fileUtf8("曲 フォルダ"));
    Sine sine;
    sine.samples = 22050;
    for (const char* name : {"曲 フォルダ/ﾃｽﾄ 音.wav", "it's \"quoted\".wav"}) {
        const auto path = dir.fileUtf8(QString::fromUtf8(name));
        ASSERT_TRUE(writeSineWav(path, sine, 16));
        DeviceHarness h(kFastNull);
        ASSERT_EQ(h.open(path), 0u) << path;
        EXPECT_EQ(h.status(StatusItem::Length), "500");
    }
}

TEST(WaveAudioDevice, SeeksExactlyAndRefusesPositionsOutsideTheFile)
{
    TempDir dir;
    const auto path = dir.fileUtf8("a.wav");
    Sine sine;
    sine.samples = 48000;
    sine.rate = 48000;
    ASSERT_TRUE(writeSineWav(path, sine, 16));
    DeviceHarness h(kFastNull);
    ASSERT_EQ(h.open(path), 0u);
    ASSERT_EQ(h.setFormat(TimeFormat::Samples), 0u);
    ASSERT_EQ(h.seekTo(12345), 0u);
    EXPECT_EQ(h.number(StatusItem::Position), 12345);
    EXPECT_EQ(h.seekTo(48001), MCIERR_OUTOFRANGE);
    EXPECT_EQ(h.number(StatusItem::Position), 12345);

    SeekRequest end;
    end.kind = SeekRequest::Kind::End;
    ASSERT_EQ(h.device->seek(end), 0u);
    EXPECT_EQ(h.number(StatusItem::Position), 48000);
    SeekRequest start;
    start.kind = SeekRequest::Kind::Start;
    ASSERT_EQ(h.device->seek(start), 0u);
    EXPECT_EQ(h.number(StatusItem::Position), 0);

    ASSERT_EQ(h.setFormat(TimeFormat::Milliseconds), 0u);
    ASSERT_EQ(h.seekTo(333), 0u);
    EXPECT_EQ(h.number(StatusItem::Position), 333);
    ASSERT_EQ(h.setFormat(TimeFormat::Bytes), 0u);
    EXPECT_EQ(h.number(StatusItem::Position), 333 * 48 * 4);

    EXPECT_EQ(h.play(40000, 30000, 1), MCIERR_OUTOFRANGE);
    EXPECT_EQ(h.play(std::nullopt, 48000 * 4 + 4, 2), MCIERR_OUTOFRANGE);
    EXPECT_EQ(h.status(StatusItem::Mode), "stopped");
    EXPECT_EQ(h.number(StatusItem::Position), 333 * 48 * 4);
    EXPECT_TRUE(h.events.ends().empty());
}

TEST(WaveAudioDevice, PlayToTheEndStopsWithThePositionAtTheLength)
{
    TempDir dir;
    const auto path = dir.fileUtf8("a.wav");
    Sine sine;
    sine.rate = 22050;
    sine.channels = 1;
    sine.samples = 11025 + 3;
    ASSERT_TRUE(writeSineWav(path, sine, 8));
    DeviceHarness h(kFastNull);
    ASSERT_EQ(h.open(path), 0u);
    ASSERT_EQ(h.play(std::nullopt, std::nullopt, 7), 0u);
    EXPECT_EQ(h.status(StatusItem::Mode), "playing");
    PlayEnd how{};
    ASSERT_TRUE(h.events.waitFor(7, how));
    EXPECT_EQ(how, PlayEnd::Completed);
    EXPECT_EQ(h.status(StatusItem::Mode), "stopped");
    for (auto f : {TimeFormat::Milliseconds, TimeFormat::Samples, TimeFormat::Bytes}) {
        ASSERT_EQ(h.setFormat(f), 0u);
        EXPECT_EQ(h.status(StatusItem::Position), h.status(StatusItem::Length));
    }
    // Play at the end finishes at once, still at the end.
    ASSERT_EQ(h.play(std::nullopt, std::nullopt, 8), 0u);
    ASSERT_TRUE(h.events.waitFor(8, how));
    EXPECT_EQ(how, PlayEnd::Completed);
    EXPECT_EQ(h.status(StatusItem::Position), h.status(StatusItem::Length));
}

TEST(WaveAudioDevice, PauseHoldsThePositionAndStopEndsThePlay)
{
    TempDir dir;
    const auto path = dir.fileUtf8("a.wav");
    Sine sine;
    sine.samples = 44100 * 5;
    ASSERT_TRUE(writeSineWav(path, sine, 16));
    DeviceHarness h("null");
    ASSERT_EQ(h.open(path), 0u);
    EXPECT_EQ(h.device->resume(), MCIERR_NONAPPLICABLE_FUNCTION);
    EXPECT_EQ(h.device->pause(), MCIERR_NONAPPLICABLE_FUNCTION) << "never played";
    ASSERT_EQ(h.play(std::nullopt, std::nullopt, 1), 0u);
    EXPECT_EQ(h.device->resume(), MCIERR_NONAPPLICABLE_FUNCTION) << "playing, not paused";
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (h.number(StatusItem::Position) < 50 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(h.device->pause(), 0u);
    EXPECT_EQ(h.status(StatusItem::Mode), "paused");
    const auto held = h.number(StatusItem::Position);
    EXPECT_GE(held, 50);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(h.number(StatusItem::Position), held);

    ASSERT_EQ(h.device->resume(), 0u);
    EXPECT_EQ(h.status(StatusItem::Mode), "playing");
    // A new play replaces the running one, which ends as stopped.
    ASSERT_EQ(h.play(3000, std::nullopt, 2), 0u);
    PlayEnd how{};
    ASSERT_TRUE(h.events.waitFor(1, how));
    EXPECT_EQ(how, PlayEnd::Stopped);
    EXPECT_GE(h.number(StatusItem::Position), 3000);

    ASSERT_EQ(h.device->stop(), 0u);
    ASSERT_TRUE(h.events.waitFor(2, how));
    EXPECT_EQ(how, PlayEnd::Stopped);
    EXPECT_EQ(h.status(StatusItem::Mode), "stopped");
    const auto stoppedAt = h.number(StatusItem::Position);
    EXPECT_GE(stoppedAt, 3000);
    EXPECT_LT(stoppedAt, 5000);
    EXPECT_EQ(h.device->resume(), MCIERR_NONAPPLICABLE_FUNCTION);
    EXPECT_EQ(h.device->pause(), MCIERR_NONAPPLICABLE_FUNCTION) << "stopped";
    EXPECT_EQ(h.status(StatusItem::Mode), "stopped");
    h.device->close();
    EXPECT_EQ(h.events.ends().size(), 2u);
}
