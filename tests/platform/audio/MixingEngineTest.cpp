#include "platform/audio/AudioEngine.h"
#include "platform/audio/MixStream.h"
#include "tests/platform/audio/WavReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

using namespace kb::audio;
using namespace std::chrono_literals;

namespace {

std::unique_ptr<AudioEngine> captureEngine(const std::string& path, double speed = 50)
{
    SinkChoice choice;
    choice.kind = SinkChoice::Kind::Capture;
    choice.capturePath = path;
    choice.speed = speed;
    return AudioEngine::create(choice);
}

// Interleaved stereo frames: left counts up from `start`, right is its negative.
std::vector<int16_t> ramp(size_t frames, int start = 1)
{
    std::vector<int16_t> pcm(frames * 2);
    for (size_t f = 0; f < frames; ++f) {
        pcm[2 * f] = static_cast<int16_t>((start + static_cast<int>(f)) % 30000);
        pcm[2 * f + 1] = static_cast<int16_t>(-pcm[2 * f]);
    }
    return pcm;
}

void writeAll(AudioStream& stream, const std::vector<int16_t>& pcm)
{
    size_t done = 0;
    const size_t frames = pcm.size() / 2;
    while (done < frames) {
        done += stream.write(pcm.data() + 2 * done, frames - done);
        if (done < frames)
            stream.waitWritable(100ms);
    }
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = 10s)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST(MixingEngine, CapturesExactlyWhatWasPlayedAtFullLevel)
{
    kbtest::TempDir dir;
    const auto path = dir.fileUtf8("out.wav");
    auto engine = captureEngine(path);
    ASSERT_EQ(engine->sinkName(), "capture");
    auto stream = engine->openStream(Line::WaveOut0);
    const auto pcm = ramp(3000);

    // More than the stream holds at once: the writer has to wait for the mixer.
    stream->setPlaying(true);
    std::thread writer([&] {
        for (int i = 0; i < 5; ++i)
            writeAll(*stream, pcm);
        stream->markEnd();
    });
    ASSERT_TRUE(waitFor([&] { return stream->drained(); }));
    writer.join();
    EXPECT_EQ(stream->heardFrames(), 15000);
    stream->setPlaying(false);
    engine.reset();

    const auto wav = kbtest::readWav16(path);
    ASSERT_EQ(wav.rate, kOutputRate);
    ASSERT_EQ(wav.channels, 2);
    // Find where the signal starts (a starved stream plays silence first).
    size_t first = 0;
    while (first < wav.samples.size() && wav.samples[first] == 0)
        ++first;
    ASSERT_LE(first + 5 * pcm.size(), wav.samples.size());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(std::equal(pcm.begin(), pcm.end(), wav.samples.begin() + first + i * pcm.size()));
}

TEST(MixingEngine, AppliesTheLineLevelPerChannelAndSaturatesTheSum)
{
    kbtest::TempDir dir;
    const auto path = dir.fileUtf8("out.wav");
    auto engine = captureEngine(path);
    engine->levels().set(Line::WaveOut0, 0xFFFF8000u); // left half, right full
    auto wave = engine->openStream(Line::WaveOut0);
    auto midi = engine->openStream(Line::MidiOut0);

    // Long enough to overlap although the two streams start one after the other.
    std::thread writer([&] {
        writeAll(*wave, std::vector<int16_t>(20000 * 2, 30000));
        wave->markEnd();
    });
    wave->setPlaying(true);
    midi->setPlaying(true);
    writeAll(*midi, std::vector<int16_t>(20000 * 2, 10000));
    midi->markEnd();
    writer.join();
    ASSERT_TRUE(waitFor([&] { return wave->drained() && midi->drained(); }));
    engine.reset();

    const auto wav = kbtest::readWav16(path);
    bool mixed = false;
    for (size_t f = 0; f < wav.frames() && !mixed; ++f)
        mixed = wav.samples[2 * f] == 30000 * 32768 / 65535 + 10000 && wav.samples[2 * f + 1] == 32767;
    EXPECT_TRUE(mixed);
}

TEST(MixingEngine, PauseHoldsTheClockAndRecordsNothing)
{
    kbtest::TempDir dir;
    const auto path = dir.fileUtf8("out.wav");
    auto engine = captureEngine(path, 5);
    auto stream = engine->openStream(Line::WaveOut0);
    writeAll(*stream, ramp(8000));
    stream->setPlaying(true);
    ASSERT_TRUE(waitFor([&] { return stream->heardFrames() >= 2048; }));
    stream->setPlaying(false);
    std::this_thread::sleep_for(20ms); // let the period in flight finish
    const auto heard = stream->heardFrames();
    const auto recorded = kbtest::readWav16(path).frames();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(stream->heardFrames(), heard);
    EXPECT_EQ(kbtest::readWav16(path).frames(), recorded);
    EXPECT_FALSE(stream->drained());

    stream->flush();
    EXPECT_EQ(stream->heardFrames(), 0);
    EXPECT_EQ(stream->queuedFrames(), 0u);
}

TEST(MixingEngine, StarvedStreamKeepsItsClockAndTheNullSinkStillRuns)
{
    SinkChoice choice;
    ASSERT_TRUE(SinkChoice::parse("null,speed=100", choice));
    auto engine = AudioEngine::create(choice);
    EXPECT_EQ(engine->sinkName(), "null");
    auto stream = engine->openStream(Line::WaveOut0);
    stream->setPlaying(true);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(stream->heardFrames(), 0);

    writeAll(*stream, ramp(4096));
    stream->markEnd();
    ASSERT_TRUE(waitFor([&] { return stream->drained(); }));
    EXPECT_EQ(stream->heardFrames(), 4096);
}

TEST(MixingEngine, UnwritableCaptureFallsBackToTheNullSink)
{
    SinkChoice choice;
    choice.kind = SinkChoice::Kind::Capture;
    choice.capturePath = "/nonexistent-folder/x.wav";
    testing::internal::CaptureStderr();
    auto engine = AudioEngine::create(choice);
    const auto err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->sinkName(), "null");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

namespace {

size_t recordedFrames(const std::string& path)
{
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(path, ec);
    return ec || bytes < 44 ? 0 : static_cast<size_t>((bytes - 44) / 4);
}

// Plays a constant on a second line until it has been heard: a mark in the capture that
// everything the first stream had queued before is either recorded or dropped.
void playMark(AudioEngine& engine, size_t frames)
{
    auto mark = engine.openStream(Line::MidiOut0);
    writeAll(*mark, std::vector<int16_t>(frames * 2, -7));
    mark->markEnd();
    mark->setPlaying(true);
    ASSERT_TRUE(waitFor([&] { return mark->drained(); }));
    mark->setPlaying(false);
}

// The capture split into runs: what the ramp stream played (its left samples, all
// positive), the mark (-7) and silence.
struct Runs {
    std::vector<std::pair<char, std::vector<int16_t>>> runs;
};
Runs splitRuns(const kbtest::Wav16& wav)
{
    Runs r;
    for (size_t f = 0; f < wav.frames(); ++f) {
        const int16_t left = wav.samples[2 * f];
        const char kind = left > 0 ? 'r' : left == -7 ? 'm' : '0';
        if (r.runs.empty() || r.runs.back().first != kind)
            r.runs.push_back({kind, {}});
        r.runs.back().second.push_back(left);
    }
    return r;
}

} // namespace

TEST(MixingEngine, ReadOutStaysWithinOnePeriodOfWhatWasRecorded)
{
    kbtest::TempDir dir;
    const auto path = dir.fileUtf8("out.wav");
    auto engine = captureEngine(path, 4);
    const auto period = static_cast<size_t>(engine->latencyFrames());
    ASSERT_GE(period, 1024u);
    auto stream = engine->openStream(Line::WaveOut0);
    const auto pcm = ramp(12 * period);
    // Half queued before the start, so the stream is never starved and the capture holds
    // nothing but its frames.
    const size_t half = pcm.size() / 4;
    writeAll(*stream, {pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(half)});
    stream->setPlaying(true);
    std::thread writer([&] {
        writeAll(*stream, {pcm.begin() + static_cast<std::ptrdiff_t>(half), pcm.end()});
        stream->markEnd();
    });
    int samples = 0;
    while (!stream->drained()) {
        const size_t before = recordedFrames(path);
        const auto heard = static_cast<size_t>(stream->heardFrames());
        const size_t after = recordedFrames(path);
        EXPECT_LE(heard, after);
        EXPECT_GE(heard + period, before);
        ++samples;
        std::this_thread::sleep_for(2ms);
    }
    writer.join();
    EXPECT_GT(samples, 10);
    EXPECT_EQ(stream->heardFrames(), static_cast<int64_t>(pcm.size() / 2));
}

TEST(MixingEngine, PauseAndStopDropWhatTheSinkHasNotPlayedAndResumeLosesNothing)
{
    kbtest::TempDir dir;
    const auto path = dir.fileUtf8("out.wav");
    auto engine = captureEngine(path, 2);
    const auto period = static_cast<size_t>(engine->latencyFrames());
    auto stream = engine->openStream(Line::WaveOut0);
    const size_t total = 6 * period;
    const auto pcm = ramp(total);
    writeAll(*stream, pcm);

    // Paused in the middle of a period: the block waiting for its time is not recorded.
    stream->setPlaying(true);
    ASSERT_TRUE(waitFor([&] { return stream->heardFrames() >= static_cast<int64_t>(period); }));
    stream->setPlaying(false);
    const auto frozen = static_cast<size_t>(stream->heardFrames());
    playMark(*engine, period);

    // Resumed: it goes on from the first frame not recorded, then a stop cuts it short.
    stream->setPlaying(true);
    ASSERT_TRUE(waitFor([&] { return stream->heardFrames() >= static_cast<int64_t>(frozen + period); }));
    stream->setPlaying(false);
    const auto stoppedAt = static_cast<size_t>(stream->heardFrames());
    stream->flush();
    playMark(*engine, period);
    engine.reset();

    const auto runs = splitRuns(kbtest::readWav16(path)).runs;
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[0].first, 'r');
    EXPECT_EQ(runs[1].first, 'm');
    EXPECT_EQ(runs[3].first, 'r');
    EXPECT_EQ(runs[4].first, 'm');
    // The read-out held at a pause or stop is within the one period being heard of what
    // was recorded, and never ahead of it.
    const size_t first = runs[0].second.size();
    const size_t both = first + runs[3].second.size();
    EXPECT_LE(frozen, first);
    EXPECT_GE(frozen + period, first);
    EXPECT_LE(stoppedAt, both);
    EXPECT_GE(stoppedAt + period, both);
    std::vector<int16_t> played = runs[0].second;
    played.insert(played.end(), runs[3].second.begin(), runs[3].second.end());
    for (size_t f = 0; f < played.size(); ++f)
        ASSERT_EQ(played[f], pcm[2 * f]) << "frame " << f;
}

TEST(MixStream, AWriterThatWroteNothingForAWholeWaitIsNotWaitedForAgainUntilItWrites)
{
    using Fill = MixStream::Fill;
    using Clock = std::chrono::steady_clock;
    MixStream stream(Line::AuxCd, 4096, kOutputRate, std::make_shared<MixerWakeup>(), 8 * 4096);
    stream.setPlaying(true);
    EXPECT_EQ(stream.waitFilled(4096, Clock::now() + 20ms), Fill::Stalled);

    // A second wait must return at once. Should it wait instead, data arrives after a while
    // and the wait ends filled, which fails the test rather than hanging it.
    std::promise<void> returned;
    std::thread rescue([&stream, done = returned.get_future()] {
        if (done.wait_for(5s) != std::future_status::ready)
            writeAll(stream, ramp(4096));
    });
    EXPECT_EQ(stream.waitFilled(4096, Clock::now() + 60s), Fill::Stalled);
    returned.set_value();
    rescue.join();
    writeAll(stream, ramp(4096));

    // Once the writer writes again it is waited for as before.
    EXPECT_EQ(stream.waitFilled(4096, Clock::now() + 20ms), Fill::Ready);
    std::vector<int16_t> out(4096 * 2);
    stream.commit(stream.peek(out.data(), 4096));
    writeAll(stream, ramp(100));
    EXPECT_EQ(stream.waitFilled(4096, Clock::now() + 20ms), Fill::Stalled);
    stream.markEnd();
    EXPECT_EQ(stream.waitFilled(4096, Clock::now() + 60s), Fill::Ready);
}
