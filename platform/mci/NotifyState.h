#pragma once

#include "platform/mci/MciDevice.h"

#include <QPointer>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>

namespace kb::mci {

class NotifyRelay;

// The device id "all" notifications carry.
constexpr uint32_t kAllDevicesId = 0xFFFFFFFFu;

// Plays in flight and the one pending notification per device. Devices report the end of
// a play here from any thread; only this object's own short lock is taken, and no device is
// ever called from here.
class NotifyState final : public DeviceEvents {
public:
    explicit NotifyState(NotifyRelay& relay) : relay_(relay) {}

    // Whether a successful command ends the notification of the device's pending play.
    enum class Effect { None, AbortsPlay };

    // A play is about to be handed to the device; the id is what the device reports back.
    uint64_t beginPlay(uint32_t deviceId);
    // The device refused the play.
    void cancelPlay(uint64_t playId);

    // Called once a command has succeeded on deviceId: resolves the pending notification by
    // effect and notify, and posts or arms the command's own notification. playId is the
    // play the command started (0 for other commands); with keepForWait it stays known
    // until waitForPlay.
    void commandSucceeded(uint32_t deviceId, Effect effect, bool notify, const QPointer<QObject>& callback,
                          uint64_t playId = 0, bool keepForWait = false);

    // Blocks until the play has ended (completed, stopped, failed or its device closed).
    void waitForPlay(uint64_t playId);

    // The device was closed: its pending play notification is aborted and its plays end.
    void deviceClosed(uint32_t deviceId);

    // Posts a notification that needs no bookkeeping (commands on "all").
    void post(const QPointer<QObject>& callback, uint32_t code, uint32_t deviceId);

    void playEnded(uint64_t playId, PlayEnd how) override;

private:
    struct Play {
        uint32_t deviceId = 0;
        bool ended = false;
        PlayEnd how = PlayEnd::Completed;
        bool committed = false; // the command that started it has finished
        bool waited = false;
    };
    struct Pending {
        uint64_t playId = 0;
        QPointer<QObject> callback;
    };

    void endPlayLocked(uint64_t playId, PlayEnd how);
    void dropIfDoneLocked(std::map<uint64_t, Play>::iterator it);

    NotifyRelay& relay_;
    std::mutex mutex_;
    std::condition_variable ended_;
    uint64_t nextPlayId_ = 0;
    std::map<uint64_t, Play> plays_;
    std::map<uint32_t, Pending> pending_;
};

} // namespace kb::mci
