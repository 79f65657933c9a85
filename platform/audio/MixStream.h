#pragma once

#include "platform/audio/AudioEngine.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace kb::audio {

// Wakes the mixer when a stream starts playing.
struct MixerWakeup {
    std::mutex mutex;
    std::condition_variable cv;
    uint64_t serial = 0;

    void notify()
    {
        {
            std::lock_guard lock(mutex);
            ++serial;
        }
        cv.notify_all();
    }
};

// The mixer's view of one device's stream: a bounded ring of queued frames and the
// counters behind heardFrames().
class MixStream final : public AudioStream {
public:
    MixStream(Line line, int64_t latencyFrames, std::shared_ptr<MixerWakeup> wakeup,
              size_t capacityFrames);

    size_t write(const int16_t* interleaved, size_t frames) override;
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
    // or the timeout passes.
    void waitFilled(size_t frames, std::chrono::milliseconds timeout);

    // What the mixer took for one period: `frames` real frames copied into out (the rest is
    // silence); `padding` silent frames after the end of the data; `epoch` identifies the
    // flush generation they belong to.
    struct Pull {
        size_t frames = 0;
        size_t padding = 0;
        uint64_t epoch = 0;
    };
    Pull pull(int16_t* out, size_t frames);
    // The sink took the period: count it, unless the stream was flushed meanwhile.
    void commit(const Pull& pulled);

private:
    int64_t heardLocked() const;

    const Line line_;
    const int64_t latency_;
    const std::shared_ptr<MixerWakeup> wakeup_;
    mutable std::mutex mutex_;
    std::condition_variable writable_;
    std::condition_variable filledCv_;
    std::vector<int16_t> ring_;
    size_t head_ = 0;
    size_t filled_ = 0; // samples
    bool playing_ = false;
    bool ended_ = false;
    uint64_t epoch_ = 0;
    int64_t handed_ = 0;
    int64_t padded_ = 0;
    int64_t frozenHeard_ = 0; // the clock while paused: a period still in flight does not move it
};

} // namespace kb::audio
