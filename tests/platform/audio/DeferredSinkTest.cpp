#include "platform/audio/AudioEngine.h"
#include "platform/audio/DeferredSink.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace kb::audio;
using namespace std::chrono_literals;

namespace {

// A sink that takes every block at once and counts what it was asked.
struct Counts {
    int opened = 0;
    int written = 0;
    int dropped = 0;
};

class CountingSink final : public AudioSink {
public:
    explicit CountingSink(Counts& counts) : counts_(counts) {}
    std::string name() const override { return "counting"; }
    int64_t latencyFrames() const override { return 1; }
    bool write(const int16_t*, size_t) override
    {
        ++counts_.written;
        return !std::exchange(dropNext_, false);
    }
    void drop() override
    {
        ++counts_.dropped;
        dropNext_ = true;
    }

private:
    Counts& counts_;
    bool dropNext_ = false;
};

DeferredSink::Opener countingOpener(Counts& counts)
{
    return [&counts] {
        ++counts.opened;
        return std::make_unique<CountingSink>(counts);
    };
}

std::string mappedFiles()
{
    std::ifstream maps("/proc/self/maps");
    return {std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(DeferredSink, AnswersForTheSinkAndOpensItOnlyOnTheFirstWrite)
{
    Counts counts;
    DeferredSink sink(countingOpener(counts), "sdl", 8192, 1.0);
    EXPECT_EQ(sink.name(), "sdl");
    EXPECT_EQ(sink.latencyFrames(), 8192);
    EXPECT_EQ(sink.framesPerSecond(), kOutputRate);
    EXPECT_FALSE(sink.waitsForData());
    sink.idle();
    EXPECT_EQ(counts.opened, 0);
    EXPECT_FALSE(sink.opened());

    const std::vector<int16_t> block(2 * 64);
    EXPECT_TRUE(sink.write(block.data(), 64));
    EXPECT_TRUE(sink.write(block.data(), 64));
    EXPECT_EQ(counts.opened, 1);
    EXPECT_EQ(counts.written, 2);
    EXPECT_EQ(sink.name(), "counting");
    // The streams were given the latency before the sink existed; it does not change.
    EXPECT_EQ(sink.latencyFrames(), 8192);
}

TEST(DeferredSink, ADropBeforeTheSinkOpensRefusesTheFirstBlockOnly)
{
    Counts counts;
    DeferredSink sink(countingOpener(counts), "sdl", 8192, 1.0);
    sink.drop();
    sink.drop();
    EXPECT_EQ(counts.opened, 0);
    const std::vector<int16_t> block(2 * 64);
    EXPECT_FALSE(sink.write(block.data(), 64));
    EXPECT_TRUE(sink.write(block.data(), 64));
    sink.drop();
    EXPECT_FALSE(sink.write(block.data(), 64));
}

TEST(DeferredSink, ASinkThatCannotOpenIsReplacedBySilenceAtRealTimeWithOneMessage)
{
    DeferredSink sink([] { return std::unique_ptr<AudioSink>(); }, "sdl", 8192, 1.0);
    constexpr size_t frames = kOutputRate / 10;
    const std::vector<int16_t> block(2 * frames);
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(sink.write(block.data(), frames));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const std::string err = testing::internal::GetCapturedStderr();
    // The first block is taken at once, each later one when the one before has played.
    EXPECT_GE(elapsed, 300ms);
    EXPECT_EQ(sink.name(), "null");
    EXPECT_EQ(sink.latencyFrames(), 8192);
    EXPECT_TRUE(sink.waitsForData());
    const std::string message = "no sound device could be opened; playing silently";
    ASSERT_NE(err.find(message), std::string::npos) << err;
    EXPECT_EQ(err.find(message), err.rfind(message)) << err;
}

// Without its module the SDL output plays silently at real time: the stream is heard whole
// and drains, as with a device.
TEST(DeferredSink, TheSdlOutputWithoutItsModulePlaysSilently)
{
    kbtest::TempDir empty;
    setenv("KOBALTUNE_DRIVER_DIR", empty.fileUtf8(".").c_str(), 1);
    SinkChoice choice;
    ASSERT_TRUE(SinkChoice::parse("sdl", choice));
    auto engine = AudioEngine::create(choice);
    auto stream = engine->openStream(Line::WaveOut0);
    const std::vector<int16_t> pcm(2 * 4000, 100);
    ASSERT_EQ(stream->write(pcm.data(), 4000), 4000u);
    stream->markEnd();
    stream->setPlaying(true);
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!stream->drained() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(2ms);
    unsetenv("KOBALTUNE_DRIVER_DIR");
    ASSERT_TRUE(stream->drained());
    EXPECT_EQ(stream->heardFrames(), 4000);
    EXPECT_EQ(engine->sinkName(), "null");
    EXPECT_EQ(mappedFiles().find("libSDL2"), std::string::npos);
}
