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
    wakeup_->sink = sink_;
    thread_ = std::thread([this] { run(); });
}

MixingEngine::~MixingEngine()
{
    quit_ = true;
    sink_->drop();
    wakeup_->notify();
    thread_.join();
}

std::shared_ptr<AudioStream> MixingEngine::openStream(Line line)
{
    auto stream = std::make_shared<MixStream>(line, sink_->latencyFrames(), sink_->framesPerSecond(), wakeup_,
                                              kStreamCapacityFrames);
    {
        std::lock_guard lock(streamsMutex_);
        std::erase_if(streams_, [](const auto& weak) { return weak.expired(); });
        streams_.push_back(stream);
    }
    ++streamsVersion_;
    return stream;
}

void MixingEngine::refreshStreams()
{
    // A stream only the mixer still holds has been closed by its device.
    std::erase_if(mixing_, [](const auto& stream) { return stream.use_count() == 1; });
    const uint64_t version = streamsVersion_.load();
    if (version == mixingVersion_)
        return;
    mixingVersion_ = version;
    mixing_.clear();
    std::lock_guard lock(streamsMutex_);
    for (const auto& weak : streams_)
        if (auto stream = weak.lock())
            mixing_.push_back(std::move(stream));
}

bool MixingEngine::anyAudible() const
{
    // A stream whose data has ended and been heard adds nothing until its device stops it.
    return std::any_of(mixing_.begin(), mixing_.end(),
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
        refreshStreams();
        if (!anyAudible()) {
            mixing_.clear();
            mixingVersion_ = 0;
            if (!wasIdle) {
                sink_->idle();
                wasIdle = true;
            }
            // setPlaying(true) bumps the serial; the timeout only guards against a missed race.
            std::unique_lock lock(wakeup_->mutex);
            wakeup_->cv.wait_for(lock, std::chrono::milliseconds(500),
                                 [&] { return quit_ || wakeup_->serial != serial; });
            continue;
        }
        wasIdle = false;
        mixPeriod();
    }
}

void MixingEngine::mixPeriod()
{
    std::fill(accumulator_.begin(), accumulator_.end(), 0);
    // A writer slower than a paced sink (a loaded machine, a sanitizer build) is waited for
    // rather than cut into with silence, for at most one wait per period however many
    // streams are short; one that has stalled is not waited for again until it writes.
    if (sink_->waitsForData()) {
        const auto deadline = std::chrono::steady_clock::now() + kLateWriterWait;
        for (const auto& stream : mixing_)
            stream->waitFilled(kPeriodFrames, deadline);
    }
    pulls_.resize(mixing_.size());
    for (size_t i = 0; i < mixing_.size(); ++i) {
        pulls_[i] = mixing_[i]->peek(scratch_.data(), kPeriodFrames);
        const size_t frames = pulls_[i].frames;
        if (frames == 0)
            continue;
        const uint32_t level = levels_.get(mixing_[i]->line());
        if (level == 0xFFFFFFFFu && mixing_.size() == 1) {
            std::copy_n(scratch_.begin(), frames * kOutputChannels, accumulator_.begin());
            continue;
        }
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
    // A dropped block is not committed: its streams hand the same frames over again.
    if (!sink_->write(block_.data(), kPeriodFrames))
        return;
    for (size_t i = 0; i < mixing_.size(); ++i)
        mixing_[i]->commit(pulls_[i]);
}

} // namespace kb::audio
