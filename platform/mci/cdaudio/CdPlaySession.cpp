#include "platform/mci/cdaudio/CdPlaySession.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace kb::mci::cdaudio {

namespace {

constexpr int kSectorsPerRead = 8;
// requestStop() flushes the stream, which ends a wait for room at once.
constexpr auto kWait = std::chrono::seconds(1);

} // namespace

CdPlaySession::CdPlaySession(std::shared_ptr<cdrom::Disc> disc,
                             std::shared_ptr<audio::AudioStream> stream, int from, int to,
                             uint64_t playId, DeviceEvents* events)
    : disc_(std::move(disc)), stream_(std::move(stream)), from_(from), to_(to), playId_(playId),
      events_(events), endFrame_(to)
{
    stream_->flush();
    stream_->setPlaying(true);
    worker_ = std::thread([this] { run(); });
}

CdPlaySession::~CdPlaySession()
{
    requestStop();
    if (worker_.joinable())
        worker_.join();
}

void CdPlaySession::requestStop()
{
    stop_ = true;
    stream_->setPlaying(false);
    stream_->flush();
}

void CdPlaySession::setPaused(bool paused)
{
    paused_ = paused;
    stream_->setPlaying(!paused);
}

int CdPlaySession::position() const
{
    if (finished_)
        return endFrame_;
    const int64_t heard = stream_->heardFrames() / cdrom::kSamplesPerFrame;
    return static_cast<int>(std::min<int64_t>(from_ + heard, endFrame_));
}

void CdPlaySession::reportEnd(PlayEnd how)
{
    if (events_ && !reported_.exchange(true))
        events_->playEnded(playId_, how);
}

void CdPlaySession::run()
{
    std::vector<int16_t> buffer(static_cast<size_t>(kSectorsPerRead) * cdrom::kSamplesPerFrame * 2);
    int frame = from_;
    bool failed = false;
    while (!stop_ && frame < to_) {
        const int want = std::min(kSectorsPerRead, to_ - frame);
        const int got = disc_->readAudio(frame, want, buffer.data());
        if (got <= 0) {
            failed = got < 0;
            break;
        }
        const size_t total = static_cast<size_t>(got) * cdrom::kSamplesPerFrame;
        size_t done = 0;
        while (!stop_ && done < total) {
            done += stream_->write(buffer.data() + done * 2, total - done);
            if (done < total)
                stream_->waitWritable(kWait);
        }
        frame += got;
        if (got < want) {
            failed = true;
            break;
        }
    }
    if (!stop_) {
        endFrame_ = frame;
        stream_->markEnd();
        const int64_t written = static_cast<int64_t>(frame - from_) * cdrom::kSamplesPerFrame;
        // Played out: the queue is empty and the listener has heard the last sample (or,
        // should the clock stop short of it, a grace time after the queue ran dry).
        auto drainedSince = std::chrono::steady_clock::time_point::max();
        while (!stop_) {
            if (stream_->drained()) {
                const auto now = std::chrono::steady_clock::now();
                drainedSince = std::min(drainedSince, now);
                if (stream_->heardFrames() >= written || now - drainedSince > std::chrono::seconds(2))
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (!stop_) {
            finished_ = true;
            reportEnd(failed ? PlayEnd::Failed : PlayEnd::Completed);
        }
    }
    workerDone_ = true;
}

} // namespace kb::mci::cdaudio
