#include "platform/mci/waveaudio/WaveAudioDevice.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace kb::mci::wave {

using namespace std::chrono_literals;

WaveAudioDevice::WaveAudioDevice(const DeviceContext& context) : context_(context) {}

WaveAudioDevice::~WaveAudioDevice() { close(); }

uint32_t WaveAudioDevice::open(const OpenRequest& request)
{
    if (request.element.empty())
        return 0;
    if (!context_.audio)
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    auto file = std::make_unique<AudioFile>();
    if (const uint32_t error = file->open(request.element))
        return error;
    std::lock_guard lock(mutex_);
    info_ = file->info();
    time_ = WaveTime{info_.rate, std::max(info_.blockAlign, 1)};
    file_ = std::move(file);
    path_ = request.element;
    stream_ = context_.audio->openStream(audio::Line::WaveOut0);
    quit_ = false;
    worker_ = std::thread([this] { runWorker(); });
    return 0;
}

void WaveAudioDevice::close()
{
    std::optional<uint64_t> ended;
    {
        std::lock_guard lock(mutex_);
        if (!hasFile())
            return;
        ended = stopLocked();
        quit_ = true;
    }
    wake_.notify_all();
    reportEnd(ended, PlayEnd::Stopped);
    if (worker_.joinable())
        worker_.join();
    std::lock_guard lock(mutex_);
    file_.reset();
    stream_.reset();
    path_.clear();
}

int64_t WaveAudioDevice::positionLocked() const
{
    if (mode_ == Mode::Stopped)
        return position_;
    const int64_t heard = stream_->heardFrames() * info_.rate / audio::kOutputRate;
    return std::min(base_ + heard, end_);
}

std::optional<uint64_t> WaveAudioDevice::stopLocked()
{
    if (mode_ != Mode::Stopped) {
        position_ = positionLocked();
        mode_ = Mode::Stopped;
    }
    ++generation_;
    pending_.reset();
    if (stream_) {
        stream_->setPlaying(false);
        stream_->flush();
    }
    return std::exchange(playId_, std::nullopt);
}

bool WaveAudioDevice::toSamples(uint32_t value, int64_t& samples) const
{
    samples = time_.fromFormat(value, format_);
    return samples >= 0 && samples <= info_.samples;
}

void WaveAudioDevice::reportEnd(std::optional<uint64_t> playId, PlayEnd how)
{
    if (playId && context_.events)
        context_.events->playEnded(*playId, how);
}

uint32_t WaveAudioDevice::play(const PlayRequest& request, uint64_t playId)
{
    std::optional<uint64_t> replaced;
    {
        std::lock_guard lock(mutex_);
        if (!hasFile())
            return MCIERR_NONAPPLICABLE_FUNCTION;
        int64_t from = positionLocked();
        int64_t to = info_.samples;
        if (request.from && !toSamples(*request.from, from))
            return MCIERR_OUTOFRANGE;
        if (request.to && !toSamples(*request.to, to))
            return MCIERR_OUTOFRANGE;
        if (from > to)
            return MCIERR_OUTOFRANGE;
        replaced = stopLocked();
        mode_ = Mode::Playing;
        base_ = from;
        end_ = to;
        position_ = from;
        playId_ = playId;
        pending_ = Job{generation_, from, to};
    }
    // The old play ends before the new one can: its end is reported first.
    reportEnd(replaced, PlayEnd::Stopped);
    wake_.notify_all();
    return 0;
}

uint32_t WaveAudioDevice::stop()
{
    std::optional<uint64_t> ended;
    {
        std::lock_guard lock(mutex_);
        if (!hasFile())
            return 0;
        ended = stopLocked();
    }
    reportEnd(ended, PlayEnd::Stopped);
    return 0;
}

uint32_t WaveAudioDevice::pause()
{
    std::lock_guard lock(mutex_);
    if (!hasFile() || mode_ == Mode::Stopped)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    if (mode_ == Mode::Playing) {
        stream_->setPlaying(false);
        mode_ = Mode::Paused;
    }
    return 0;
}

uint32_t WaveAudioDevice::resume()
{
    std::lock_guard lock(mutex_);
    if (!hasFile() || mode_ != Mode::Paused)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    mode_ = Mode::Playing;
    stream_->setPlaying(true);
    return 0;
}

uint32_t WaveAudioDevice::seek(const SeekRequest& request)
{
    std::optional<uint64_t> ended;
    {
        std::lock_guard lock(mutex_);
        if (!hasFile())
            return MCIERR_NONAPPLICABLE_FUNCTION;
        int64_t target = 0;
        switch (request.kind) {
        case SeekRequest::Kind::Start: target = 0; break;
        case SeekRequest::Kind::End: target = info_.samples; break;
        case SeekRequest::Kind::To:
            if (!toSamples(request.to, target))
                return MCIERR_OUTOFRANGE;
            break;
        }
        ended = stopLocked();
        position_ = target;
    }
    reportEnd(ended, PlayEnd::Stopped);
    return 0;
}

uint32_t WaveAudioDevice::set(const SetRequest& request)
{
    if (request.doorOpen)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (request.timeFormat) {
        if (!WaveTime::supports(*request.timeFormat))
            return MCIERR_BAD_TIME_FORMAT;
        std::lock_guard lock(mutex_);
        format_ = *request.timeFormat;
    }
    return 0;
}

uint32_t WaveAudioDevice::status(const StatusRequest& request, std::string& reply)
{
    std::lock_guard lock(mutex_);
    switch (request.item) {
    case StatusItem::Mode:
        reply = mode_ == Mode::Playing ? "playing" : mode_ == Mode::Paused ? "paused" : "stopped";
        return 0;
    case StatusItem::MediaPresent:
        reply = hasFile() ? "true" : "false";
        return 0;
    case StatusItem::Ready:
        reply = "true";
        return 0;
    case StatusItem::TimeFormat:
        reply = std::string(timeFormatName(format_));
        return 0;
    default:
        break;
    }
    if (!hasFile())
        return MCIERR_NONAPPLICABLE_FUNCTION;
    if (request.track && *request.track != 1)
        return MCIERR_OUTOFRANGE;
    switch (request.item) {
    case StatusItem::Position:
        reply = std::to_string(request.track ? 0 : time_.toFormat(positionLocked(), format_));
        return 0;
    case StatusItem::Length:
        reply = std::to_string(time_.toFormat(info_.samples, format_));
        return 0;
    case StatusItem::CurrentTrack:
    case StatusItem::NumberOfTracks:
        reply = "1";
        return 0;
    case StatusItem::StartPosition:
        reply = "0";
        return 0;
    default:
        return MCIERR_UNRECOGNIZED_KEYWORD;
    }
}

uint32_t WaveAudioDevice::info(InfoItem item, std::string& reply)
{
    std::lock_guard lock(mutex_);
    switch (item) {
    case InfoItem::Product:
        reply = "Kobaltune WAVE audio";
        return 0;
    case InfoItem::File:
        reply = path_;
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

uint32_t WaveAudioDevice::capability(CapabilityItem item, std::string& reply)
{
    switch (item) {
    case CapabilityItem::DeviceType: reply = "waveaudio"; return 0;
    case CapabilityItem::CanPlay:
    case CapabilityItem::CompoundDevice:
    case CapabilityItem::HasAudio:
    case CapabilityItem::UsesFiles: reply = "true"; return 0;
    case CapabilityItem::CanEject:
    case CapabilityItem::CanRecord:
    case CapabilityItem::CanSave:
    case CapabilityItem::HasVideo: reply = "false"; return 0;
    }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

void WaveAudioDevice::runWorker()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return quit_ || pending_.has_value(); });
        if (quit_)
            return;
        const Job job = *std::exchange(pending_, std::nullopt);
        lock.unlock();
        runJob(job);
        lock.lock();
    }
}

void WaveAudioDevice::runJob(const Job& job)
{
    auto current = [&] {
        std::lock_guard lock(mutex_);
        return generation_ == job.generation && !quit_;
    };
    std::vector<int16_t> pcm;
    AudioFile::Step step = file_->seek(job.from) ? AudioFile::Step::Data : AudioFile::Step::Error;
    while (step == AudioFile::Step::Data) {
        pcm.clear();
        step = file_->next(job.to, pcm);
        if (!feed(job, pcm))
            return;
    }
    if (step == AudioFile::Step::Error) {
        finishJob(job, PlayEnd::Failed);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (generation_ != job.generation)
            return;
        stream_->markEnd();
        if (mode_ == Mode::Playing)
            stream_->setPlaying(true);
    }
    // The last samples are heard a sink latency after they were handed over; sleep about as
    // long as what is still queued, but look often enough to notice a stop.
    while (current() && !stream_->drained()) {
        const auto queued = std::chrono::milliseconds(
            static_cast<int64_t>(stream_->queuedFrames()) * 1000 / audio::kOutputRate);
        std::this_thread::sleep_for(std::clamp<std::chrono::milliseconds>(queued, 2ms, 20ms));
    }
    finishJob(job, PlayEnd::Completed);
}

bool WaveAudioDevice::feed(const Job& job, const std::vector<int16_t>& pcm)
{
    const size_t frames = pcm.size() / audio::kOutputChannels;
    size_t done = 0;
    while (done < frames) {
        {
            // Written under the lock: a stop or seek that flushes the stream can never be
            // followed by sound from the play it ended.
            std::lock_guard lock(mutex_);
            if (generation_ != job.generation || quit_)
                return false;
            done += stream_->write(pcm.data() + done * audio::kOutputChannels, frames - done);
            if (mode_ == Mode::Playing && !stream_->playing())
                stream_->setPlaying(true);
        }
        // A stop or close flushes the stream, which ends the wait at once.
        if (done < frames)
            stream_->waitWritable(1s);
    }
    return true;
}

void WaveAudioDevice::finishJob(const Job& job, PlayEnd how)
{
    std::optional<uint64_t> ended;
    {
        std::lock_guard lock(mutex_);
        if (generation_ != job.generation)
            return;
        if (how == PlayEnd::Completed) {
            mode_ = Mode::Stopped;
            position_ = job.to;
            ++generation_;
            stream_->setPlaying(false);
            stream_->flush();
            ended = std::exchange(playId_, std::nullopt);
        } else {
            ended = stopLocked();
        }
    }
    reportEnd(ended, how);
}

} // namespace kb::mci::wave
