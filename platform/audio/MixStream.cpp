#include "platform/audio/MixStream.h"

#include "platform/audio/AudioSink.h"

#include <algorithm>
#include <chrono>

namespace kb::audio {

void MixerWakeup::dropQueued()
{
    if (auto target = sink.lock())
        target->drop();
}

MixStream::MixStream(Line line, int64_t latencyFrames, double framesPerSecond,
                     std::shared_ptr<MixerWakeup> wakeup, size_t capacityFrames)
    : line_(line), latency_(latencyFrames), framesPerNs_(framesPerSecond * 1e-9), wakeup_(std::move(wakeup)),
      capacity_(capacityFrames),
      ring_(capacityFrames * kOutputChannels)
{
}

uint64_t MixStream::readFrom() const { return std::max(readPos_.load(), discardTo_.load()); }

size_t MixStream::room() const { return capacity_ - static_cast<size_t>(writePos_.load() - readFrom()); }

void MixStream::wakeWriter()
{
    // Taking the mutex orders the wake-up after the sleeper's last look at the positions.
    { std::lock_guard lock(sleepMutex_); }
    sleepCv_.notify_all();
}

void MixStream::wakeReader() { wakeWriter(); }

size_t MixStream::write(const int16_t* interleaved, size_t frames)
{
    const uint64_t w = writePos_.load(std::memory_order_relaxed);
    const size_t n = std::min(frames, room());
    const size_t at = static_cast<size_t>(w % capacity_) * kOutputChannels;
    const size_t samples = n * kOutputChannels;
    const size_t first = std::min(samples, ring_.size() - at);
    std::copy_n(interleaved, first, ring_.begin() + static_cast<std::ptrdiff_t>(at));
    std::copy_n(interleaved + first, samples - first, ring_.begin());
    writePos_.store(w + n);
    if (const size_t wants = readerWants_.load(); wants != 0 && queuedFrames() >= wants)
        wakeReader();
    return n;
}

bool MixStream::waitWritable(std::chrono::milliseconds timeout)
{
    const uint64_t epoch = epoch_.load();
    std::unique_lock lock(sleepMutex_);
    writerWaiting_ = true;
    sleepCv_.wait_for(lock, timeout, [&] { return room() >= capacity_ / 2 || epoch_.load() != epoch; });
    writerWaiting_ = false;
    return room() > 0;
}

size_t MixStream::queuedFrames() const { return static_cast<size_t>(writePos_.load() - readFrom()); }

void MixStream::setPlaying(bool playing)
{
    if (playing) {
        playing_ = true;
        wakeup_->notify();
        return;
    }
    if (!playing_.load())
        return;
    frozenHeard_ = heardNow();
    playing_ = false;
    // What the sink still holds must not be heard after a pause; the mixer takes the
    // dropped period again on resume because it was never committed.
    wakeup_->dropQueued();
    if (readerWants_.load() != 0)
        wakeReader();
}

bool MixStream::playing() const { return playing_.load(); }

void MixStream::flush()
{
    ended_ = false;
    frozenHeard_ = 0;
    discardTo_ = writePos_.load();
    ++epoch_;
    if (playing_.load())
        wakeup_->dropQueued();
    wakeWriter();
}

void MixStream::markEnd()
{
    ended_ = true;
    if (readerWants_.load() != 0)
        wakeReader();
}

bool MixStream::drained() const
{
    return ended_.load() && queuedFrames() == 0 && clockEpoch_.load() == epoch_.load()
        && padded_.load() >= latency_;
}

int64_t MixStream::heardFrames() const
{
    if (!playing_.load())
        return frozenHeard_.load();
    return heardNow();
}

int64_t MixStream::heardNow() const
{
    int64_t handed = 0, padded = 0, at = 0;
    uint64_t epoch = 0;
    for (;;) {
        const uint64_t seq = clockSeq_.load();
        if (seq & 1u)
            continue;
        handed = handed_.load();
        padded = padded_.load();
        at = handedAtNs_.load();
        epoch = clockEpoch_.load();
        if (clockSeq_.load() == seq)
            break;
    }
    if (epoch != epoch_.load())
        return 0;
    // Between hand-overs the sink plays on: the clock moves with it, not in period steps.
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    const auto since = std::min<int64_t>(static_cast<int64_t>(static_cast<double>(now - at) * framesPerNs_), latency_);
    return std::clamp<int64_t>(handed + padded - latency_ + std::max<int64_t>(since, 0), 0, handed);
}

MixStream::Fill MixStream::waitFilled(size_t frames, std::chrono::steady_clock::time_point deadline)
{
    const size_t wants = std::max<size_t>(std::min(frames, capacity_), 1);
    auto ready = [&] { return !playing_.load() || ended_.load() || queuedFrames() >= wants; };
    const uint64_t written = writePos_.load();
    if (ready()) {
        stalledAt_ = kNotStalled;
        return Fill::Ready;
    }
    if (written == stalledAt_)
        return Fill::Stalled;
    stalledAt_ = kNotStalled;
    bool filled = false;
    {
        std::unique_lock lock(sleepMutex_);
        readerWants_ = wants;
        filled = sleepCv_.wait_until(lock, deadline, ready);
        readerWants_ = 0;
    }
    if (filled)
        return Fill::Ready;
    if (writePos_.load() != written)
        return Fill::Short;
    stalledAt_ = written;
    return Fill::Stalled;
}

MixStream::Pull MixStream::peek(int16_t* out, size_t frames) const
{
    Pull pulled;
    pulled.epoch = epoch_.load();
    if (!playing_.load())
        return pulled;
    // The end mark is read before the write position: every frame written before it is seen.
    const bool ended = ended_.load();
    const uint64_t w = writePos_.load();
    const uint64_t r = readFrom();
    const size_t available = static_cast<size_t>(w - r);
    const size_t n = std::min(frames, available);
    const size_t at = static_cast<size_t>(r % capacity_) * kOutputChannels;
    const size_t samples = n * kOutputChannels;
    const size_t first = std::min(samples, ring_.size() - at);
    std::copy_n(ring_.begin() + static_cast<std::ptrdiff_t>(at), first, out);
    std::copy_n(ring_.begin(), samples - first, out + first);
    pulled.start = r;
    pulled.frames = n;
    if (ended && available == n)
        pulled.padding = frames - n;
    return pulled;
}

void MixStream::commit(const Pull& pulled)
{
    if (pulled.epoch != epoch_.load())
        return;
    if (pulled.frames > 0)
        readPos_ = pulled.start + pulled.frames;
    ++clockSeq_;
    if (clockEpoch_.load() != pulled.epoch) {
        handed_ = 0;
        padded_ = 0;
        clockEpoch_ = pulled.epoch;
    }
    handed_ = handed_.load() + static_cast<int64_t>(pulled.frames);
    padded_ = padded_.load() + static_cast<int64_t>(pulled.padding);
    handedAtNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    ++clockSeq_;
    if (writerWaiting_.load() && room() >= capacity_ / 2)
        wakeWriter();
}

} // namespace kb::audio
