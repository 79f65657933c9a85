#pragma once

#include "platform/mci/MciDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kbtest {

class ScriptedDevice;

// What the tests can see of the devices a service opened, shared with the devices.
struct DeviceLog {
    std::mutex mutex;
    std::vector<std::string> calls; // "open <element>", "play 5 -", "seek to 3", ...
    kb::mci::DeviceEvents* events = nullptr;
    uint64_t lastPlayId = 0;
    int liveDevices = 0;
    ScriptedDevice* current = nullptr; // the most recently opened device still alive

    void add(std::string call);
    // Ends the running play of the current device as the device itself would.
    void finishPlay(kb::mci::PlayEnd how);
    std::vector<std::string> snapshot();
};

// A device with a millisecond clock that only moves when a command moves it. A play runs
// until the test ends it through DeviceLog::events (or at once when from == to).
class ScriptedDevice final : public kb::mci::Device {
public:
    ScriptedDevice(std::shared_ptr<DeviceLog> log, kb::mci::DeviceEvents* events, bool pauseAborts)
        : log_(std::move(log)), events_(events), pauseAborts_(pauseAborts)
    {
        std::lock_guard lock(log_->mutex);
        log_->events = events;
        log_->current = this;
        ++log_->liveDevices;
    }
    ~ScriptedDevice() override;

    static constexpr uint32_t kLength = 10000;

    uint32_t open(const kb::mci::OpenRequest& request) override;
    void close() override;
    uint32_t play(const kb::mci::PlayRequest& request, uint64_t playId) override;
    uint32_t stop() override;
    uint32_t pause() override;
    uint32_t resume() override;
    uint32_t seek(const kb::mci::SeekRequest& request) override;
    uint32_t set(const kb::mci::SetRequest& request) override;
    uint32_t status(const kb::mci::StatusRequest& request, std::string& reply) override;
    uint32_t info(kb::mci::InfoItem item, std::string& reply) override;
    uint32_t capability(kb::mci::CapabilityItem item, std::string& reply) override;
    uint32_t window(const kb::mci::WindowRequest& request) override;
    uint32_t put(const kb::mci::PutRequest& request) override;
    bool pauseAbortsNotify() const override { return pauseAborts_; }
    void endPlay(kb::mci::PlayEnd how);

private:
    std::shared_ptr<DeviceLog> log_;
    kb::mci::DeviceEvents* events_;
    bool pauseAborts_;
    std::mutex mutex_;
    std::string element_;
    uint32_t position_ = 0;
    std::string mode_ = "stopped";
    kb::mci::TimeFormat format_ = kb::mci::TimeFormat::Milliseconds;
    uint64_t playId_ = 0;
};

// A device type "scripted" (extensions .scr and .tst) whose devices report to log; with
// pauseAborts its pause aborts a pending play notification, as a CD player's does.
kb::mci::DeviceType scriptedType(std::shared_ptr<DeviceLog> log, std::string name = "scripted",
                                 bool pauseAborts = false);

} // namespace kbtest
