#include "platform/audio/AudioEngine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace kb::audio;
using namespace std::chrono_literals;

namespace {

std::string mappedFiles()
{
    std::ifstream maps("/proc/self/maps");
    return {std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>()};
}

} // namespace

// SDL's disk driver writes exactly the samples the device was given: the SDL sink is
// tested through it without a sound card.
TEST(SdlSink, HandsTheMixToTheSdlDevice)
{
    kbtest::TempDir dir;
    const auto raw = dir.fileUtf8("sdl.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
    // At its real-time pace: unpaced, the driver would underrun between our blocks.
    unsetenv("SDL_DISKAUDIODELAY");
    SinkChoice choice;
    ASSERT_TRUE(SinkChoice::parse("sdl", choice));
    auto engine = AudioEngine::create(choice);
    EXPECT_GT(engine->latencyFrames(), 0);

    std::vector<int16_t> pcm(4000 * 2);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>(1 + i % 20000);
    auto stream = engine->openStream(Line::AuxCd);
    // SDL and the sound libraries behind it are loaded by the first block played, not before.
    EXPECT_EQ(mappedFiles().find("libSDL2"), std::string::npos);
    // Queued before playing: SDL's device does not wait for a late writer.
    ASSERT_EQ(stream->write(pcm.data(), 4000), 4000u);
    stream->markEnd();
    stream->setPlaying(true);
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!stream->drained() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(2ms);
    unsetenv("SDL_AUDIODRIVER");
    if (engine->sinkName() != "sdl")
        GTEST_SKIP() << "SDL's disk driver is not available";
    EXPECT_NE(mappedFiles().find("/sdlsink.so"), std::string::npos);
    ASSERT_TRUE(stream->drained());
    EXPECT_EQ(stream->heardFrames(), 4000);
    stream->setPlaying(false);
    engine.reset();

    std::ifstream in(raw, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> out(bytes.size() / 2);
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    // A device underrun (a slow machine) inserts silence; the sound itself arrives whole
    // and in order. The test signal has no zero samples.
    std::erase(out, int16_t{0});
    ASSERT_GE(out.size(), pcm.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), out.begin()));
}
