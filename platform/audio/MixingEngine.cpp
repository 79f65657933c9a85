#include "platform/audio/MixingEngine.h"

#include <algorithm>
#include <chrono>

namespace kb::audio {

MixingEngine::MixingEngine(std::unique_ptr<AudioSink> sink)
    : sink_(std::move(sink)),
      accumulator_(kPeriodFrames * kOutputChannels),
      scratch_(kPeriodFrames * kOutputChannels),
      block_(kPeriodFrames * kOutputChannels)
{
    thread_ = std::thread([this] { run(); });
}

MixingEngine::~MixingEngine()
{
    quit_ = true;
    wakeup_->notify();
    thread_.join();
}

std::shared_ptr<AudioStream> MixingEngine::openStream(Line line)
{
    auto stream = std::make_shared<MixStream>(line, sink_->latencyFrames(), wakeup_, kStreamCapacityFrames);
    std::lock_guard lock(streamsMutex_);
    std::erase_if(streams_, [](const auto& weak) { return weak.expired(); });
    streams_.push_back(stream);
    return stream;
}

std::vector<std::shared_ptr<MixStream>> MixingEngine::liveStreams()
{
    std::vector<std::shared_ptr<MixStream>> live;
    std::lock_guard lock(streamsMutex_);
    for (const auto& weak : streams_)
        if (auto stream = weak.lock())
            live.push_back(std::move(stream));
    return live;
}

bool MixingEngine::anyAudible(const std::vector<std::shared_ptr<MixStream>>& streams) const
{
    // A stream whose data has ended and been heard adds nothing until its device stops it.
    return std::any_of(streams.begin(), streams.end(),
                       [](const auto& s) { return s->playing() && !s->drained(); });
}

void MixingEngine::run()
{
    bool wasIdle = true;
    while (!quit_) {
        uint64_t serial = 0;
        {
            std::lock_guard lock(wakeup_->mutex);
            serial = wakeup_->serial;
        }
        auto streams = liveStreams();
        if (!anyAudible(streams)) {
            streams.clear();
            if (!wasIdle) {
                sink_->idle();
                wasIdle = true;
            }
            // setPlaying(true) bumps the serial; the timeout only guards against a missed race.
            std::unique_lock lock(wakeup_->mutex);
            wakeup_->cv.wait_for(lock, std::chrono::milliseconds(200),
                                 [&] { return quit_ || wakeup_->serial != serial; });
            continue;
        }
        wasIdle = false;
        mixPeriod(streams);
    }
}

void MixingEngine::mixPeriod(const std::vector<std::shared_ptr<MixStream>>& streams)
{
    std::fill(accumulator_.begin(), accumulator_.end(), 0);
    if (sink_->waitsForData())
        for (const auto& stream : streams)
            stream->waitFilled(kPeriodFrames, std::chrono::milliseconds(100));
    std::vector<MixStream::Pull> pulls(streams.size());
    for (size_t i = 0; i < streams.size(); ++i) {
        pulls[i] = streams[i]->pull(scratch_.data(), kPeriodFrames);
        const size_t frames = pulls[i].frames;
        if (frames == 0)
            continue;
        const uint32_t level = levels_.get(streams[i]->line());
        // Integer gain: a full level (65535) leaves every sample exactly as it was.
        const int32_t left = static_cast<int32_t>(level & 0xFFFFu);
        const int32_t right = static_cast<int32_t>(level >> 16);
        for (size_t f = 0; f < frames; ++f) {
            accumulator_[2 * f] += scratch_[2 * f] * left / 65535;
            accumulator_[2 * f + 1] += scratch_[2 * f + 1] * right / 65535;
        }
    }
    for (size_t i = 0; i < block_.size(); ++i)
        block_[i] = static_cast<int16_t>(std::clamp<int32_t>(accumulator_[i], -32768, 32767));
    sink_->write(block_.data(), kPeriodFrames);
    for (size_t i = 0; i < streams.size(); ++i)
        streams[i]->commit(pulls[i]);
}

} // namespace kb::audio
