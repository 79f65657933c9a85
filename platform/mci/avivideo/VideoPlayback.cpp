#include "platform/mci/avivideo/VideoPlayback.h"

#include "platform/audio/AudioEngine.h"
#include "platform/mci/avivideo/VideoOutput.h"

#include <QMetaObject>

#include <algorithm>
#include <cmath>
#include <deque>

namespace kb::mci::avi {

namespace {

constexpr int kRate = audio::kOutputRate;
constexpr size_t kVideoAhead = 8;       // decoded pictures kept ready
// Pictures go to the output this far ahead of the clock, so that a decoding thread the
// system holds up for a moment has already handed over what must be shown meanwhile.
constexpr double kLeadMs = 250;
constexpr size_t kSilenceFrames = 4096; // padding written per step at the end
constexpr double kIdleWaitMs = 40;      // the longest the decoding thread sleeps while playing

int64_t framesOfMs(double ms) { return std::llround(ms * kRate / 1000.0); }

} // namespace

struct VideoPlayback::Work {
    uint64_t generation = 0;
    int64_t target = 0;
    std::deque<VideoFrame> frames;
    std::deque<AudioChunk> chunks;
    std::vector<int16_t> pending;
    size_t offset = 0;
    bool aligned = false; // the first sound after a restart has been placed at the target
    int64_t written = 0;  // sound frames queued since the restart
    bool eof = false;
    bool preview = false; // a picture of the new position is still to be shown
};

VideoPlayback::VideoPlayback(std::unique_ptr<MediaFile> media, std::shared_ptr<audio::AudioStream> stream,
                             VideoOutput* output, DeviceEvents* events)
    : media_(std::move(media)), stream_(std::move(stream)), output_(output), events_(events),
      length_(media_->lengthMs()), frameMs_(1000.0 * media_->fpsDen() / media_->fpsNum())
{
    end_ = length_;
    if (stream_)
        stream_->setPlaying(false);
    if (output_) {
        slot_ = output_->slot();
        slot_->onFreed([this] { wake_.notify_all(); });
        output_->setClock([this] { return outputClock(); });
    }
    worker_ = std::thread([this] { run(); });
}

VideoPlayback::~VideoPlayback()
{
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        if (playId_)
            ended = {playId_, PlayEnd::Stopped};
        playId_.reset();
        if (stream_) {
            stream_->setPlaying(false);
            stream_->flush();
        }
    }
    wake_.notify_all();
    worker_.join(); // media_ is released only after the thread is gone
    if (slot_)
        slot_->onFreed({});
    if (output_)
        output_->setClock({}); // pictures still on their way are dropped
    notify(ended);
}

VideoOutput::Clock VideoPlayback::outputClock()
{
    std::lock_guard lock(mutex_);
    return {clockLocked(), generation_, mode_ == Mode::Playing};
}

void VideoPlayback::wakeOutput()
{
    if (VideoOutput* output = output_)
        QMetaObject::invokeMethod(output, [output] { output->wake(); }, Qt::QueuedConnection);
}

void VideoPlayback::notify(const Ended& ended)
{
    if (ended.id && events_)
        events_->playEnded(*ended.id, ended.how);
}

double VideoPlayback::clockLocked() const
{
    if (mode_ != Mode::Playing)
        return double(heldAt_);
    double now = 0;
    if (stream_) {
        now = base_ + double(stream_->heardFrames()) * 1000.0 / kRate;
    } else {
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - startedAt_;
        now = base_ + elapsed.count();
    }
    return std::min(now, double(end_));
}

int64_t VideoPlayback::positionMs()
{
    Ended ended;
    int64_t pos = 0;
    {
        std::lock_guard lock(mutex_);
        finishLocked(ended);
        pos = static_cast<int64_t>(clockLocked());
    }
    notify(ended);
    return pos;
}

std::string VideoPlayback::modeName()
{
    Ended ended;
    std::string name;
    {
        std::lock_guard lock(mutex_);
        finishLocked(ended);
        name = mode_ == Mode::Playing ? "playing" : mode_ == Mode::Paused ? "paused" : "stopped";
    }
    notify(ended);
    return name;
}

void VideoPlayback::finishLocked(Ended& ended)
{
    if (mode_ != Mode::Playing || !decodedToEnd_)
        return;
    if (stream_ ? !(endQueued_ && stream_->drained()) : clockLocked() < double(end_))
        return;
    mode_ = Mode::Stopped;
    heldAt_ = end_;
    if (stream_)
        stream_->setPlaying(false);
    if (playId_)
        ended = {playId_, PlayEnd::Completed};
    playId_.reset();
}

void VideoPlayback::restartLocked(int64_t from, Mode mode, Ended& ended)
{
    if (playId_)
        ended = {playId_, PlayEnd::Stopped};
    playId_.reset();
    base_ = heldAt_ = from;
    ++generation_;
    endQueued_ = decodedToEnd_ = false;
    mode_ = mode;
    startedAt_ = std::chrono::steady_clock::now();
    if (stream_) {
        stream_->setPlaying(false);
        stream_->flush();
        stream_->setPlaying(mode == Mode::Playing);
    }
}

uint32_t VideoPlayback::play(std::optional<int64_t> from, std::optional<int64_t> to, uint64_t playId)
{
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        finishLocked(ended);
        const int64_t start = from.value_or(static_cast<int64_t>(clockLocked()));
        const int64_t stopAt = to.value_or(length_);
        if (start > length_ || stopAt > length_ || start > stopAt)
            return MCIERR_OUTOFRANGE;
        if (!from && stopAt == end_ && mode_ != Mode::Stopped) {
            if (playId_)
                ended = {playId_, PlayEnd::Stopped};
            if (mode_ == Mode::Paused) {
                if (!stream_) {
                    base_ = heldAt_;
                    startedAt_ = std::chrono::steady_clock::now();
                }
                mode_ = Mode::Playing;
                if (stream_)
                    stream_->setPlaying(true);
            }
        } else {
            restartLocked(start, Mode::Playing, ended);
            end_ = stopAt;
        }
        playId_ = playId;
    }
    wake_.notify_all();
    wakeOutput();
    notify(ended);
    return 0;
}

uint32_t VideoPlayback::stop()
{
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        finishLocked(ended);
        if (mode_ != Mode::Stopped)
            restartLocked(static_cast<int64_t>(clockLocked()), Mode::Stopped, ended);
    }
    wake_.notify_all();
    notify(ended);
    return 0;
}

uint32_t VideoPlayback::pause()
{
    std::lock_guard lock(mutex_);
    if (mode_ == Mode::Playing) {
        heldAt_ = static_cast<int64_t>(clockLocked());
        mode_ = Mode::Paused;
        if (stream_)
            stream_->setPlaying(false);
    }
    return 0;
}

uint32_t VideoPlayback::resume()
{
    {
        std::lock_guard lock(mutex_);
        if (mode_ != Mode::Paused)
            return 0;
        if (!stream_) {
            base_ = heldAt_;
            startedAt_ = std::chrono::steady_clock::now();
        }
        mode_ = Mode::Playing;
        if (stream_)
            stream_->setPlaying(true);
    }
    wake_.notify_all();
    wakeOutput();
    return 0;
}

uint32_t VideoPlayback::seek(int64_t ms)
{
    if (ms < 0 || ms > length_)
        return MCIERR_OUTOFRANGE;
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        restartLocked(ms, Mode::Stopped, ended);
        end_ = length_;
    }
    wake_.notify_all();
    notify(ended);
    return 0;
}

void VideoPlayback::setArea(QSize area)
{
    std::lock_guard lock(mutex_);
    area_ = area;
}

bool VideoPlayback::feedAudio(Work& w)
{
    bool progress = false;
    const int64_t endFrames = framesOfMs(double(end_ - w.target));
    for (;;) {
        if (w.offset < w.pending.size()) {
            const size_t taken = stream_->write(w.pending.data() + w.offset, (w.pending.size() - w.offset) / 2);
            w.offset += taken * 2;
            progress = progress || taken > 0;
            if (w.offset < w.pending.size())
                return progress;
        }
        if (w.chunks.empty())
            return progress;
        std::vector<int16_t> samples = std::move(w.chunks.front().samples);
        const double chunkMs = w.chunks.front().ms;
        w.chunks.pop_front();
        if (!w.aligned) {
            const int64_t start = framesOfMs(chunkMs - double(w.target));
            if (start < 0) {
                const size_t drop = std::min(samples.size() / 2, static_cast<size_t>(-start));
                samples.erase(samples.begin(), samples.begin() + static_cast<ptrdiff_t>(drop * 2));
                if (samples.empty())
                    continue;
            } else if (start > 0) {
                samples.insert(samples.begin(), static_cast<size_t>(std::min(start, endFrames)) * 2, int16_t{0});
            }
            w.aligned = true;
        }
        const int64_t room = std::max<int64_t>(0, endFrames - w.written);
        if (static_cast<int64_t>(samples.size() / 2) > room)
            samples.resize(static_cast<size_t>(room) * 2);
        w.written += static_cast<int64_t>(samples.size() / 2);
        w.pending = std::move(samples);
        w.offset = 0;
        progress = true;
    }
}

void VideoPlayback::present(FramePtr frame, QSize area, double ms, uint64_t generation)
{
    if (!slot_)
        return;
    // The picture replaces any the UI thread has not taken yet; it is woken only when no
    // wake-up is already on its way, so nothing piles up in its event queue.
    if (slot_->put({std::move(frame), area, ms, generation}))
        wakeOutput();
}

bool VideoPlayback::presentDue(Work& w, std::unique_lock<std::mutex>& lock)
{
    if (!media_->hasVideo() || w.frames.empty() || !slot_)
        return false;
    const bool playing = mode_ == Mode::Playing;
    const double clock = playing ? clockLocked() : double(w.target);
    const double horizon = std::max(clock, double(w.target)) + 0.5;
    while (w.frames.size() >= 2 && w.frames[1].ms <= horizon)
        w.frames.pop_front(); // superseded before it could be shown
    const VideoFrame& front = w.frames.front();
    if (playing && front.ms >= double(end_) && front.ms > double(w.target) + 0.5) {
        w.frames.clear();
        return false;
    }
    // A late picture is handed over only once it is known to be the latest one due: a later
    // one is already decoded, or the stream has ended, or its own time span covers the clock.
    const bool latest = w.frames.size() >= 2 || w.eof || front.ms + frameMs_ > horizon;
    // Ahead of its time only into a free slot: a picture waiting there is replaced only by
    // one that is itself due, so none is skipped while the UI thread keeps up.
    const bool ahead = front.ms > clock + 0.5;
    const bool due = playing ? front.ms <= clock + kLeadMs && latest && (!ahead || slot_->empty())
                             : w.preview && latest;
    if (!due)
        return false;
    FramePtr frame = std::move(w.frames.front().frame);
    // The picture of a new position while stopped is shown at once, whatever its own time.
    const double ms = playing ? w.frames.front().ms : std::min(w.frames.front().ms, clock);
    w.frames.pop_front();
    w.preview = false;
    const QSize area = area_;
    const uint64_t generation = w.generation;
    lock.unlock();
    present(std::move(frame), area, ms, generation);
    lock.lock();
    return true;
}

void VideoPlayback::run()
{
    Work w;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (w.generation != generation_) {
            w.generation = generation_;
            w.target = base_;
            lock.unlock();
            media_->seek(w.target);
            w.frames.clear();
            w.chunks.clear();
            w.pending.clear();
            w.offset = 0;
            w.aligned = false;
            w.written = 0;
            w.eof = false;
            w.preview = media_->hasVideo();
            lock.lock();
            continue;
        }
        const bool playing = mode_ == Mode::Playing;
        if (!playing && !w.preview) {
            wake_.wait(lock);
            continue;
        }
        bool progress = false;
        if (playing && stream_)
            progress = feedAudio(w);
        progress = presentDue(w, lock) || progress;
        if (w.generation != generation_ || quit_)
            continue;

        const int64_t endFrames = framesOfMs(double(end_ - w.target));
        const bool soundWanted = playing && stream_ && w.offset >= w.pending.size() && w.chunks.empty() &&
                                 w.written < endFrames;
        const bool pictureWanted = media_->hasVideo() && w.frames.size() < kVideoAhead &&
                                   (w.frames.empty() || w.frames.back().ms < double(end_));
        if (!w.eof && (soundWanted || pictureWanted)) {
            lock.unlock();
            w.eof = !media_->step(w.frames, w.chunks);
            lock.lock();
            if (mode_ != Mode::Playing)
                w.chunks.clear();
            continue;
        }

        if (playing) {
            if (stream_ && !endQueued_ && w.offset >= w.pending.size() && w.chunks.empty() &&
                (w.written >= endFrames || w.eof)) {
                if (w.written < endFrames) {
                    // The sound ended before the pictures: silence keeps the clock going.
                    const int64_t n = std::min<int64_t>(endFrames - w.written, kSilenceFrames);
                    w.pending.assign(static_cast<size_t>(n) * 2, 0);
                    w.offset = 0;
                    w.written += n;
                    w.aligned = true;
                    continue;
                }
                stream_->markEnd();
                endQueued_ = true;
            }
            const bool soundDone = !stream_ || endQueued_;
            const bool picturesDone = !media_->hasVideo() ||
                ((w.eof || (!w.frames.empty() && w.frames.back().ms >= double(end_))) &&
                 (w.frames.empty() || w.frames.front().ms >= double(end_)));
            decodedToEnd_ = soundDone && picturesDone;
            Ended ended;
            finishLocked(ended);
            if (ended.id) {
                lock.unlock();
                notify(ended);
                lock.lock();
                continue;
            }
        }
        if (!progress) {
            // Until the next picture may go to the slot (ahead of time into a free slot, on
            // time into a full one); the sound queue holds far longer than the longest wait.
            double waitMs = kIdleWaitMs;
            if (playing && !w.frames.empty()) {
                const double lead = slot_ && slot_->empty() ? kLeadMs : 0;
                waitMs = std::clamp(w.frames.front().ms - lead - clockLocked(), 1.0, kIdleWaitMs);
            }
            wake_.wait_for(lock, std::chrono::microseconds(static_cast<int64_t>(waitMs * 1000)));
        }
    }
}

} // namespace kb::mci::avi
