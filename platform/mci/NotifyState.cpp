#include "platform/mci/NotifyState.h"

#include "platform/mci/MciService.h"
#include "platform/mci/NotifyRelay.h"

namespace kb::mci {

namespace {

uint32_t codeFor(PlayEnd how)
{
    switch (how) {
    case PlayEnd::Completed:
        return NotifySuccessful;
    case PlayEnd::Stopped:
        return NotifyAborted;
    case PlayEnd::Failed:
        return NotifyFailure;
    }
    return NotifyFailure;
}

} // namespace

uint64_t NotifyState::beginPlay(uint32_t deviceId)
{
    std::lock_guard lock(mutex_);
    const uint64_t id = ++nextPlayId_;
    plays_[id].deviceId = deviceId;
    return id;
}

void NotifyState::cancelPlay(uint64_t playId)
{
    std::lock_guard lock(mutex_);
    plays_.erase(playId);
}

void NotifyState::commandSucceeded(uint32_t deviceId, Effect effect, bool notify,
                                   const QPointer<QObject>& callback, uint64_t playId, bool keepForWait)
{
    std::lock_guard lock(mutex_);
    if (auto it = pending_.find(deviceId); it != pending_.end()) {
        if (effect == Effect::AbortsPlay) {
            relay_.post(it->second.callback, NotifyAborted, deviceId);
            pending_.erase(it);
        } else if (notify) {
            relay_.post(it->second.callback, NotifySuperseded, deviceId);
            pending_.erase(it);
        }
    }

    auto play = playId ? plays_.find(playId) : plays_.end();
    if (play == plays_.end()) {
        if (notify)
            relay_.post(callback, NotifySuccessful, deviceId);
        return;
    }
    play->second.committed = true;
    play->second.waited = keepForWait;
    if (notify) {
        if (play->second.ended)
            relay_.post(callback, codeFor(play->second.how), deviceId);
        else
            pending_[deviceId] = Pending{playId, callback};
    }
    dropIfDoneLocked(play);
}

void NotifyState::waitForPlay(uint64_t playId)
{
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [&] {
        const auto it = plays_.find(playId);
        return it == plays_.end() || it->second.ended;
    });
    if (const auto it = plays_.find(playId); it != plays_.end()) {
        it->second.waited = false;
        dropIfDoneLocked(it);
    }
}

void NotifyState::deviceClosed(uint32_t deviceId)
{
    std::lock_guard lock(mutex_);
    if (auto it = pending_.find(deviceId); it != pending_.end()) {
        relay_.post(it->second.callback, NotifyAborted, deviceId);
        pending_.erase(it);
    }
    for (auto it = plays_.begin(); it != plays_.end();) {
        auto current = it++;
        if (current->second.deviceId == deviceId && !current->second.ended)
            endPlayLocked(current->first, PlayEnd::Stopped);
    }
}

void NotifyState::post(const QPointer<QObject>& callback, uint32_t code, uint32_t deviceId)
{
    relay_.post(callback, code, deviceId);
}

void NotifyState::playEnded(uint64_t playId, PlayEnd how)
{
    std::lock_guard lock(mutex_);
    endPlayLocked(playId, how);
}

void NotifyState::endPlayLocked(uint64_t playId, PlayEnd how)
{
    const auto it = plays_.find(playId);
    if (it == plays_.end() || it->second.ended)
        return;
    it->second.ended = true;
    it->second.how = how;
    const uint32_t deviceId = it->second.deviceId;
    if (auto p = pending_.find(deviceId); p != pending_.end() && p->second.playId == playId) {
        relay_.post(p->second.callback, codeFor(how), deviceId);
        pending_.erase(p);
    }
    ended_.notify_all();
    dropIfDoneLocked(it);
}

void NotifyState::dropIfDoneLocked(std::map<uint64_t, Play>::iterator it)
{
    if (it->second.ended && it->second.committed && !it->second.waited)
        plays_.erase(it);
}

} // namespace kb::mci
