#pragma once

#include "platform/audio/AudioEngine.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kb::audio {

class AudioSink;

// What streams share with the mixer: the wake-up for an idle mixer and the sink, so that a
// pause or stop can make the sink drop the sound it still holds.
struct MixerWakeup {
    std::mutex mutex;
    std::condition_variable cv;
    uint64_t serial = 0;
    std::weak_ptr<AudioSink> sink; // set once, before any stream exists

    void notify()
    {
        {
            std::lock_guard lock(mutex);
            ++serial;
        }
        cv.notify_all();
    }
    void dropQueued();
};

// The mixer's view of one device's stream: a single-writer, single-reader ring of queued
// frames and the counters behind heardFrames(). Writing and mixing touch only atomics; a
// mutex is taken only by a side that has run out of room or data and goes to sleep, and by
// the side that wakes it.
class MixStream final : public AudioStream {
public:
    MixStream(Line line, int64_t latencyFrames, double framesPerSecond, std::shared_ptr<MixerWakeup> wakeup,
              size_t capacityFrames);

    size_t write(const int16_t* interleaved, size_t frames) override;
    // Sleeps until half the ring is free (so a writer wakes once per half ring, not once
    // per period), the stream is flushed, or the timeout passes.
    bool waitWritable(std::chrono::milliseconds timeout) override;
    size_t queuedFrames() const override;
    void setPlaying(bool playing) override;
    bool playing() const override;
    void flush() override;
    void markEnd() override;
    bool drained() const override;
    int64_t heardFrames() const override;

    Line line() const { return line_; }

    // Waits until a whole period is queued, the data has ended, the stream stops playing
    // or the deadline passes. A writer that wrote nothing during a whole wait has stalled
    // (a device that stopped feeding its stream without stopping it): its stream is not
    // waited for again until the writer writes, so it cannot slow the output for others.
    enum class Fill { Ready, Short, Stalled };
    Fill waitFilled(size_t frames, std::chrono::steady_clock::time_point deadline);

    // What the mixer took for one period: `frames` real frames copied into out (the rest is
    // silence); `padding` silent frames after the end of the data; `epoch` identifies the
    // flush generation they belong to, `start` where in the stream they begin.
    struct Pull {
        size_t frames = 0;
        size_t padding = 0;
        uint64_t epoch = 0;
        uint64_t start = 0;
    };
    // Copies without consuming: a period the sink drops (pause, stop) is taken again later.
    Pull peek(int16_t* out, size_t frames) const;
    // The sink took the period: consume and count it, unless the stream was flushed meanwhile.
    void commit(const Pull& pulled);

private:
    uint64_t readFrom() const;
    int64_t heardNow() const;
    size_t room() const;
    void wakeWriter();
    void wakeReader();

    const Line line_;
    const int64_t latency_;
    const double framesPerNs_;
    const std::shared_ptr<MixerWakeup> wakeup_;
    const size_t capacity_; // frames
    std::vector<int16_t> ring_;

    // Positions count frames since the stream was made; only the writer moves writePos_,
    // only the mixer moves readPos_; a flush skips everything before discardTo_.
    std::atomic<uint64_t> writePos_{0};
    std::atomic<uint64_t> readPos_{0};
    std::atomic<uint64_t> discardTo_{0};
    std::atomic<bool> playing_{false};
    std::atomic<bool> ended_{false};
    std::atomic<uint64_t> epoch_{0};
    // The clock: counters of the epoch clockEpoch_ and the time of the last hand-over, kept
    // by the mixer alone; clockSeq_ is odd while it updates them.
    std::atomic<uint64_t> clockSeq_{0};
    std::atomic<uint64_t> clockEpoch_{0};
    std::atomic<int64_t> handed_{0};
    std::atomic<int64_t> padded_{0};
    std::atomic<int64_t> handedAtNs_{0};
    std::atomic<int64_t> frozenHeard_{0}; // the clock while paused

    std::mutex sleepMutex_;
    std::condition_variable sleepCv_;
    std::atomic<bool> writerWaiting_{false};
    std::atomic<size_t> readerWants_{0}; // frames the sleeping mixer waits for; 0: not waiting
    // The mixer's own: the write position at which the writer was last seen stalled.
    static constexpr uint64_t kNotStalled = ~uint64_t{0};
    uint64_t stalledAt_ = kNotStalled;
};

} // namespace kb::audio
