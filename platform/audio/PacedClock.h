#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <utility>

namespace kb::audio {

// Paces block hand-over at real time times a speed factor for sinks without a device
// clock: a block is taken once the blocks before it would have finished playing. A drop
// cuts the wait short and refuses the block.
class PacedClock {
public:
    PacedClock(int rate, double speed) : rate_(rate), speed_(speed) {}

    // False when drop() came first: the block is not taken and costs no time.
    bool waitForRoom(size_t frames)
    {
        using namespace std::chrono;
        std::unique_lock lock(mutex_);
        const auto now = steady_clock::now();
        if (!running_) {
            start_ = now;
            played_ = 0;
            running_ = true;
        } else {
            const auto due = start_ + duration_cast<steady_clock::duration>(
                                 duration<double>(static_cast<double>(played_) / (rate_ * speed_)));
            dropped_.wait_until(lock, due, [&] { return drop_; });
        }
        if (std::exchange(drop_, false))
            return false;
        played_ += static_cast<int64_t>(frames);
        return true;
    }

    void drop()
    {
        {
            std::lock_guard lock(mutex_);
            drop_ = true;
        }
        dropped_.notify_all();
    }

    double framesPerSecond() const { return rate_ * speed_; }

    void restart()
    {
        std::lock_guard lock(mutex_);
        running_ = false;
    }

private:
    int rate_;
    double speed_;
    std::mutex mutex_;
    std::condition_variable dropped_;
    bool drop_ = false;
    bool running_ = false;
    std::chrono::steady_clock::time_point start_;
    int64_t played_ = 0;
};

} // namespace kb::audio
