#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

namespace kb::audio {

// Paces block hand-over at real time times a speed factor for sinks without a device
// clock: a block is taken once the blocks before it would have finished playing.
class PacedClock {
public:
    PacedClock(int rate, double speed) : rate_(rate), speed_(speed) {}

    void waitForRoom(size_t frames)
    {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        if (!running_) {
            start_ = now;
            played_ = 0;
            running_ = true;
        } else {
            const auto due = start_ + duration_cast<steady_clock::duration>(
                                 duration<double>(static_cast<double>(played_) / (rate_ * speed_)));
            if (due > now)
                std::this_thread::sleep_until(due);
        }
        played_ += static_cast<int64_t>(frames);
    }

    void restart() { running_ = false; }

private:
    int rate_;
    double speed_;
    bool running_ = false;
    std::chrono::steady_clock::time_point start_;
    int64_t played_ = 0;
};

} // namespace kb::audio
