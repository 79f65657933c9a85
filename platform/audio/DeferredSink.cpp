#include "platform/audio/DeferredSink.h"

#include <cstdio>
#include <utility>

namespace kb::audio {

DeferredSink::DeferredSink(Opener open, std::string name, int64_t latencyFrames, double fallbackSpeed)
    : opener_(std::move(open)), name_(std::move(name)), latency_(latencyFrames), fallbackSpeed_(fallbackSpeed)
{
}

std::string DeferredSink::name() const
{
    const AudioSink* sink = current_.load(std::memory_order_acquire);
    return sink ? sink->name() : name_;
}

double DeferredSink::framesPerSecond() const
{
    const AudioSink* sink = current_.load(std::memory_order_acquire);
    return sink ? sink->framesPerSecond() : AudioSink::framesPerSecond();
}

bool DeferredSink::waitsForData() const
{
    const AudioSink* sink = current_.load(std::memory_order_acquire);
    return sink && sink->waitsForData();
}

void DeferredSink::idle()
{
    if (AudioSink* sink = current_.load(std::memory_order_acquire))
        sink->idle();
}

bool DeferredSink::write(const int16_t* interleaved, size_t frames)
{
    AudioSink* sink = current_.load(std::memory_order_acquire);
    if (!sink)
        sink = open();
    return sink->write(interleaved, frames);
}

void DeferredSink::drop()
{
    std::lock_guard lock(mutex_);
    if (sink_)
        sink_->drop();
    else
        dropPending_ = true;
}

// Runs on the writer's thread, without the lock, so that a drop() from another thread
// never waits for the device to open.
AudioSink* DeferredSink::open()
{
    std::unique_ptr<AudioSink> sink = opener_ ? opener_() : nullptr;
    if (!sink) {
        std::fprintf(stderr, "kobaltune: no sound device could be opened; playing silently\n");
        // The stand-in keeps the latency the streams were given, so their clocks stay right.
        sink = makeNullSink(fallbackSpeed_, static_cast<size_t>(latency_));
    }
    std::lock_guard lock(mutex_);
    sink_ = std::move(sink);
    // A drop that came before the sink existed refuses the block written now, as it would have.
    if (std::exchange(dropPending_, false))
        sink_->drop();
    current_.store(sink_.get(), std::memory_order_release);
    return sink_.get();
}

} // namespace kb::audio
