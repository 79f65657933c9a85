#pragma once

#include "platform/mci/MciDevice.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace kbtest {

// Records every playEnded a device reports.
class EndRecorder final : public kb::mci::DeviceEvents {
public:
    void playEnded(uint64_t playId, kb::mci::PlayEnd how) override
    {
        {
            std::lock_guard lock(mutex_);
            ends_.emplace_back(playId, how);
        }
        cv_.notify_all();
    }
    bool waitFor(uint64_t playId, kb::mci::PlayEnd& how,
                 std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        std::unique_lock lock(mutex_);
        bool found = cv_.wait_for(lock, limit, [&] {
            for (const auto& [id, h] : ends_)
                if (id == playId) {
                    how = h;
                    return true;
                }
            return false;
        });
        return found;
    }
    std::vector<std::pair<uint64_t, kb::mci::PlayEnd>> ends() const
    {
        std::lock_guard lock(mutex_);
        return ends_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::pair<uint64_t, kb::mci::PlayEnd>> ends_;
};

} // namespace kbtest
