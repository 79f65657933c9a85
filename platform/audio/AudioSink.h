#pragma once

#include "platform/audio/AudioEngine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kb::audio {

// One output driver. The mixer thread hands it blocks of interleaved S16 stereo at
// kOutputRate; write() returns when the sink has taken the block, which paces the mixer,
// or false when drop() threw the block away before it was taken.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    virtual std::string name() const = 0;
    // Frames taken by write() that the listener has not heard yet.
    virtual int64_t latencyFrames() const = 0;
    // How fast the listener hears frames: the rate, times the speed of a paced sink.
    virtual double framesPerSecond() const { return kOutputRate; }
    virtual bool write(const int16_t* interleaved, size_t frames) = 0;
    // Any thread: forget every block not yet heard, including one write() is waiting to
    // hand over (or, when none is, the next one), so that a pause or stop is heard at once.
    virtual void drop() = 0;
    // Nothing is playing for a while: the next write starts a fresh stretch of time.
    virtual void idle() {}
    // A sink without a device that would underrun lets the mixer wait a little for a
    // stream whose writer is late, instead of filling the gap with silence.
    virtual bool waitsForData() const { return false; }
};

std::unique_ptr<AudioSink> makeNullSink(double speed, size_t periodFrames);
// Null when the file cannot be created.
std::unique_ptr<AudioSink> makeCaptureSink(const std::string& path, double speed, size_t periodFrames);
// Loads the SDL output module (found where the driver modules are) and opens its device;
// null when the module cannot be loaded or no SDL audio device can be opened.
std::unique_ptr<AudioSink> openSdlSinkModule(size_t periodFrames);

} // namespace kb::audio
