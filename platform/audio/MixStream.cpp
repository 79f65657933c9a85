#include "platform/audio/MixStream.h"

#include <algorithm>

namespace kb::audio {

MixStream::MixStream(Line line, int64_t latencyFrames, std::shared_ptr<MixerWakeup> wakeup,
                     size_t capacityFrames)
    : line_(line), latency_(latencyFrames), wakeup_(std::move(wakeup)),
      ring_(capacityFrames * kOutputChannels)
{
}

size_t MixStream::write(const int16_t* interleaved, size_t frames)
{
    std::lock_guard lock(mutex_);
    const size_t room = (ring_.size() - filled_) / kOutputChannels;
    const size_t n = std::min(frames, room);
    const size_t samples = n * kOutputChannels;
    const size_t tail = (head_ + filled_) % ring_.size();
    const size_t first = std::min(samples, ring_.size() - tail);
    std::copy_n(interleaved, first, ring_.begin() + static_cast<std::ptrdiff_t>(tail));
    std::copy_n(interleaved + first, samples - first, ring_.begin());
    filled_ += samples;
    filledCv_.notify_all();
    return n;
}

bool MixStream::waitWritable(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return writable_.wait_for(lock, timeout, [&] { return filled_ < ring_.size(); });
}

size_t MixStream::queuedFrames() const
{
    std::lock_guard lock(mutex_);
    return filled_ / kOutputChannels;
}

void MixStream::setPlaying(bool playing)
{
    {
        std::lock_guard lock(mutex_);
        if (playing_ && !playing)
            frozenHeard_ = heardLocked();
        playing_ = playing;
    }
    filledCv_.notify_all();
    if (playing)
        wakeup_->notify();
}

void MixStream::waitFilled(size_t frames, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    filledCv_.wait_for(lock, timeout, [&] {
        return !playing_ || ended_ || filled_ >= std::min(frames * kOutputChannels, ring_.size());
    });
}

bool MixStream::playing() const
{
    std::lock_guard lock(mutex_);
    return playing_;
}

void MixStream::flush()
{
    {
        std::lock_guard lock(mutex_);
        head_ = 0;
        filled_ = 0;
        ended_ = false;
        handed_ = 0;
        padded_ = 0;
        frozenHeard_ = 0;
        ++epoch_;
    }
    writable_.notify_all();
    filledCv_.notify_all();
}

void MixStream::markEnd()
{
    {
        std::lock_guard lock(mutex_);
        ended_ = true;
    }
    filledCv_.notify_all();
}

bool MixStream::drained() const
{
    std::lock_guard lock(mutex_);
    return ended_ && filled_ == 0 && padded_ >= latency_;
}

int64_t MixStream::heardFrames() const
{
    std::lock_guard lock(mutex_);
    return heardLocked();
}

int64_t MixStream::heardLocked() const
{
    if (!playing_)
        return frozenHeard_;
    return std::clamp<int64_t>(handed_ + padded_ - latency_, 0, handed_);
}

MixStream::Pull MixStream::pull(int16_t* out, size_t frames)
{
    Pull pulled;
    {
        std::lock_guard lock(mutex_);
        pulled.epoch = epoch_;
        if (!playing_)
            return pulled;
        const size_t samples = std::min(frames * kOutputChannels, filled_);
        const size_t first = std::min(samples, ring_.size() - head_);
        std::copy_n(ring_.begin() + static_cast<std::ptrdiff_t>(head_), first, out);
        std::copy_n(ring_.begin(), samples - first, out + first);
        head_ = (head_ + samples) % ring_.size();
        filled_ -= samples;
        pulled.frames = samples / kOutputChannels;
        if (ended_ && filled_ == 0)
            pulled.padding = frames - pulled.frames;
    }
    if (pulled.frames > 0)
        writable_.notify_all();
    return pulled;
}

void MixStream::commit(const Pull& pulled)
{
    std::lock_guard lock(mutex_);
    if (pulled.epoch != epoch_)
        return;
    handed_ += static_cast<int64_t>(pulled.frames);
    padded_ += static_cast<int64_t>(pulled.padding);
}

} // namespace kb::audio
