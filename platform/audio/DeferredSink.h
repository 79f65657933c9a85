#pragma once

#include "platform/audio/AudioSink.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace kb::audio {

// Stands in for a sink that is expensive to open (a device and the libraries behind it) and
// opens it when the first block is written, so that a program that never sounds never
// loads it. Until then it answers for the sink with the values that sink will have, since
// streams take the latency when they are opened. When the sink cannot be opened, the sound
// is discarded at real time (times `fallbackSpeed`) with the same latency, and a message
// says so once.
class DeferredSink final : public AudioSink {
public:
    using Opener = std::function<std::unique_ptr<AudioSink>()>;

    DeferredSink(Opener open, std::string name, int64_t latencyFrames, double fallbackSpeed);

    std::string name() const override;
    int64_t latencyFrames() const override { return latency_; }
    double framesPerSecond() const override;
    bool write(const int16_t* interleaved, size_t frames) override;
    void drop() override;
    void idle() override;
    bool waitsForData() const override;

    // Whether the real sink (or its silent stand-in) has been opened.
    bool opened() const { return current_.load(std::memory_order_acquire) != nullptr; }

private:
    AudioSink* open();

    Opener opener_;
    const std::string name_;
    const int64_t latency_;
    const double fallbackSpeed_;
    std::mutex mutex_;
    std::unique_ptr<AudioSink> sink_;
    bool dropPending_ = false;
    // sink_ once it is set; read without the lock by the mixer thread and by callers.
    std::atomic<AudioSink*> current_{nullptr};
};

} // namespace kb::audio
