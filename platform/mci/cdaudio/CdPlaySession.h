#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/cdrom/Disc.h"
#include "platform/mci/MciDevice.h"

#include <atomic>
#include <memory>
#include <thread>

namespace kb::mci::cdaudio {

// One play of a stretch of disc: a worker thread reads sectors and writes them to its own
// audio stream; the position is the stream's heard-frames clock. Reports the end of the
// play through DeviceEvents exactly once, whoever (worker or device) claims it first.
class CdPlaySession {
public:
    CdPlaySession(std::shared_ptr<cdrom::Disc> disc, std::shared_ptr<audio::AudioStream> stream,
                  int from, int to, uint64_t playId, DeviceEvents* events);
    ~CdPlaySession(); // stops the worker and waits for it

    // Asks the worker to stop and silences the stream; returns at once.
    void requestStop();
    void setPaused(bool paused);
    bool paused() const { return paused_; }

    // The frame being heard (from + heard sectors), or where the play ended.
    int position() const;
    // The worker has played everything it was going to play (or failed).
    bool finished() const { return finished_; }
    // The worker thread has returned (joining it is then immediate).
    bool workerDone() const { return workerDone_; }

    // Reports the end with `how` unless it was already reported.
    void reportEnd(PlayEnd how);

private:
    void run();

    std::shared_ptr<cdrom::Disc> disc_;
    std::shared_ptr<audio::AudioStream> stream_;
    const int from_;
    const int to_;
    const uint64_t playId_;
    DeviceEvents* events_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> workerDone_{false};
    std::atomic<bool> reported_{false};
    std::atomic<int> endFrame_;
    std::thread worker_;
};

} // namespace kb::mci::cdaudio
