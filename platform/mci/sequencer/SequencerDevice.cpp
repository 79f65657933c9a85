#include "platform/mci/sequencer/SequencerDevice.h"

#include "platform/audio/AudioEngine.h"
#include "platform/mci/sequencer/MidiFile.h"
#include "platform/mci/sequencer/MidiRenderer.h"

#include <QFile>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace kb::mci {

namespace {

using seq::MidiRenderer;
constexpr int kRate = audio::kOutputRate;
constexpr int kBlockFrames = 4096; // one mixer period: the synth is woken once per period

int64_t frameFromMs(uint64_t ms) { return static_cast<int64_t>((ms * kRate + 999) / 1000); }
uint64_t msFromFrame(int64_t frame) { return static_cast<uint64_t>(frame) * 1000 / kRate; }

class SequencerDevice final : public Device {
public:
    SequencerDevice(const DeviceContext& context, std::string soundFont)
        : ctx_(context), soundFont_(std::move(soundFont)) {}
    ~SequencerDevice() override { close(); }

    uint32_t open(const OpenRequest& request) override;
    void close() override;
    uint32_t play(const PlayRequest& request, uint64_t playId) override;
    uint32_t stop() override;
    uint32_t pause() override;
    uint32_t resume() override;
    uint32_t seek(const SeekRequest& request) override;
    uint32_t set(const SetRequest& request) override;
    uint32_t status(const StatusRequest& request, std::string& reply) override;
    uint32_t info(InfoItem item, std::string& reply) override;
    uint32_t capability(CapabilityItem item, std::string& reply) override;

private:
    enum class Mode { Stopped, Playing, Paused };
    struct Ended { std::optional<uint64_t> id; PlayEnd how = PlayEnd::Stopped; };

    void run();
    // Under the lock: finishes a play whose sound has been played out.
    void checkEndLocked(Ended& ended);
    void haltLocked(int64_t at, Ended& ended);
    int64_t positionLocked() const;
    bool toFrame(uint32_t value, int64_t& frame) const;
    std::string formatFrame(int64_t frame) const;
    void notify(const Ended& ended);

    DeviceContext ctx_;
    std::string soundFont_;
    std::string path_;
    std::unique_ptr<MidiRenderer> renderer_;
    std::shared_ptr<audio::AudioStream> stream_;
    TimeFormat format_ = TimeFormat::Milliseconds;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread worker_;
    bool quit_ = false;
    Mode mode_ = Mode::Stopped;
    int64_t baseFrame_ = 0;   // song frame where the stream's heard clock started
    int64_t endFrame_ = 0;    // where the current play stops
    int64_t stoppedAt_ = 0;   // the position while stopped
    int64_t pausedAt_ = 0;    // the position while paused (the sink may still play its buffer)
    bool endQueued_ = false;
    uint64_t generation_ = 0; // bumped whenever queued sound is thrown away
    std::vector<int16_t> pending_;
    size_t pendingOffset_ = 0;
    std::optional<uint64_t> playId_;
};

uint32_t SequencerDevice::open(const OpenRequest& request)
{
    if (request.element.empty())
        return 0; // the bare device: status works, play needs a file
    QFile file(QString::fromStdString(request.element));
    if (!file.exists())
        return MCIERR_FILE_NOT_FOUND;
    if (!file.open(QIODevice::ReadOnly))
        return MCIERR_FILE_READ;
    const QByteArray bytes = file.readAll();
    const std::vector<uint8_t> data(bytes.begin(), bytes.end());
    seq::MidiSong song;
    if (seq::parseMidi(data, song) != seq::MidiParseError::None)
        return MCIERR_INVALID_FILE;
    auto renderer = std::make_unique<MidiRenderer>();
    switch (renderer->load(soundFont_, kRate)) {
    case MidiRenderer::LoadResult::NoSoundFont: return MCIERR_SEQ_NOMIDIPRESENT;
    case MidiRenderer::LoadResult::SynthFailed: return MCIERR_CANNOT_LOAD_DRIVER;
    case MidiRenderer::LoadResult::Ok: break;
    }
    if (!ctx_.audio)
        return MCIERR_CANNOT_LOAD_DRIVER;
    auto stream = ctx_.audio->openStream(audio::Line::MidiOut0);
    if (!stream)
        return MCIERR_CANNOT_LOAD_DRIVER;
    stream->setPlaying(false);
    renderer->setSong(std::move(song));

    close();
    path_ = request.element;
    renderer_ = std::move(renderer);
    stream_ = std::move(stream);
    quit_ = false;
    worker_ = std::thread([this] { run(); });
    return 0;
}

void SequencerDevice::close()
{
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        haltLocked(0, ended);
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join(); // the renderer is only released once no render can run
    notify(ended);
    stream_.reset();
    renderer_.reset();
    path_.clear();
}

void SequencerDevice::notify(const Ended& ended)
{
    if (ended.id && ctx_.events)
        ctx_.events->playEnded(*ended.id, ended.how);
}

int64_t SequencerDevice::positionLocked() const
{
    if (mode_ == Mode::Stopped || !stream_)
        return stoppedAt_;
    if (mode_ == Mode::Paused)
        return pausedAt_;
    return std::min(endFrame_, baseFrame_ + stream_->heardFrames());
}

void SequencerDevice::haltLocked(int64_t at, Ended& ended)
{
    if (playId_) {
        ended = {playId_, PlayEnd::Stopped};
        playId_.reset();
    }
    mode_ = Mode::Stopped;
    stoppedAt_ = at;
    endQueued_ = false;
    pending_.clear();
    ++generation_;
    if (stream_) {
        stream_->setPlaying(false);
        stream_->flush();
    }
}

void SequencerDevice::checkEndLocked(Ended& ended)
{
    if (mode_ != Mode::Playing || !endQueued_ || !stream_->drained())
        return;
    mode_ = Mode::Stopped;
    stoppedAt_ = endFrame_;
    endQueued_ = false;
    stream_->setPlaying(false);
    if (playId_) {
        ended = {playId_, PlayEnd::Completed};
        playId_.reset();
    }
}

void SequencerDevice::run()
{
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (mode_ == Mode::Stopped) {
            wake_.wait(lock);
            continue;
        }
        if (endQueued_) {
            Ended ended;
            checkEndLocked(ended);
            if (ended.id) {
                lock.unlock();
                notify(ended);
                lock.lock();
            } else {
                wake_.wait_for(lock, std::chrono::milliseconds(10));
            }
            continue;
        }
        if (pendingOffset_ >= pending_.size()) {
            const int64_t left = endFrame_ - renderer_->frame();
            if (left <= 0) {
                stream_->markEnd();
                endQueued_ = true;
                continue;
            }
            const int n = static_cast<int>(std::min<int64_t>(kBlockFrames, left));
            pending_.resize(static_cast<size_t>(n) * 2);
            pendingOffset_ = 0;
            renderer_->render(pending_.data(), n);
        }
        const size_t frames = (pending_.size() - pendingOffset_) / 2;
        pendingOffset_ += stream_->write(pending_.data() + pendingOffset_, frames) * 2;
        if (pendingOffset_ < pending_.size()) {
            const uint64_t generation = generation_;
            auto stream = stream_;
            lock.unlock();
            stream->waitWritable(std::chrono::seconds(1)); // a stop flushes, ending the wait
            lock.lock();
            if (generation != generation_)
                pendingOffset_ = pending_.size();
        }
    }
}

bool SequencerDevice::toFrame(uint32_t value, int64_t& frame) const
{
    const auto& song = renderer_->song();
    switch (format_) {
    case TimeFormat::Milliseconds:
        frame = frameFromMs(value);
        return true;
    case TimeFormat::SongPointer: {
        const uint64_t tick = static_cast<uint64_t>(value) * song.ticksPerQuarter / 4;
        if (tick > UINT32_MAX)
            return false;
        frame = (song.timeOfTick(static_cast<uint32_t>(tick)) * kRate + 999999) / 1000000;
        return true;
    }
    default: {
        const int fps = smpteFps(format_);
        if (field(value, 1) >= 60 || field(value, 2) >= 60 || field(value, 3) >= static_cast<uint32_t>(fps))
            return false;
        const uint64_t wholeSeconds = field(value, 0) * 3600ull + field(value, 1) * 60ull + field(value, 2);
        // Rounded up, so that a frame number reads back as itself.
        const uint64_t ms = wholeSeconds * 1000 + (field(value, 3) * 1000ull + fps - 1) / fps;
        frame = frameFromMs(ms);
        return true;
    }
    }
}

std::string SequencerDevice::formatFrame(int64_t frame) const
{
    const uint64_t ms = msFromFrame(frame);
    if (format_ == TimeFormat::Milliseconds)
        return std::to_string(ms);
    if (format_ == TimeFormat::SongPointer) {
        const auto& song = renderer_->song();
        const uint32_t tick = song.tickAtTime(frame * 1000000 / kRate);
        return std::to_string(static_cast<uint64_t>(tick) * 4 / song.ticksPerQuarter);
    }
    return smpteFromMs(ms, smpteFps(format_));
}

uint32_t SequencerDevice::play(const PlayRequest& request, uint64_t playId)
{
    if (!renderer_)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        const int64_t length = renderer_->lengthFrames();
        int64_t from = positionLocked();
        int64_t to = length;
        if ((request.from && !toFrame(*request.from, from)) || (request.to && !toFrame(*request.to, to)))
            return MCIERR_OUTOFRANGE;
        if (from > length || to > length || from > to)
            return MCIERR_OUTOFRANGE;
        if (playId_)
            ended = {playId_, PlayEnd::Stopped};
        playId_ = playId;
        const bool continues = !request.from && mode_ != Mode::Stopped && !endQueued_ && to >= renderer_->frame();
        if (continues) {
            endFrame_ = to; // keep what is queued: the sound goes on without a gap
        } else {
            stream_->setPlaying(false);
            stream_->flush();
            ++generation_;
            pending_.clear();
            pendingOffset_ = 0;
            renderer_->seekFrame(from);
            baseFrame_ = from;
            endFrame_ = to;
            endQueued_ = false;
        }
        mode_ = Mode::Playing;
        stream_->setPlaying(true);
    }
    wake_.notify_all();
    notify(ended);
    return 0;
}

uint32_t SequencerDevice::stop()
{
    if (!renderer_)
        return 0;
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        checkEndLocked(ended);
        if (mode_ != Mode::Stopped)
            haltLocked(positionLocked(), ended);
    }
    notify(ended);
    return 0;
}

uint32_t SequencerDevice::pause()
{
    std::lock_guard lock(mutex_);
    if (renderer_ && mode_ == Mode::Playing) {
        pausedAt_ = positionLocked();
        stream_->setPlaying(false);
        mode_ = Mode::Paused;
    }
    return 0;
}

uint32_t SequencerDevice::resume()
{
    {
        std::lock_guard lock(mutex_);
        if (renderer_ && mode_ == Mode::Paused) {
            mode_ = Mode::Playing;
            stream_->setPlaying(true);
        }
    }
    wake_.notify_all();
    return 0;
}

uint32_t SequencerDevice::seek(const SeekRequest& request)
{
    if (!renderer_)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    Ended ended;
    {
        std::lock_guard lock(mutex_);
        const int64_t length = renderer_->lengthFrames();
        int64_t target = 0;
        if (request.kind == SeekRequest::Kind::End)
            target = length;
        else if (request.kind == SeekRequest::Kind::To && (!toFrame(request.to, target) || target > length))
            return MCIERR_OUTOFRANGE;
        haltLocked(target, ended);
    }
    notify(ended);
    return 0;
}

uint32_t SequencerDevice::set(const SetRequest& request)
{
    if (request.doorOpen)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (!request.timeFormat)
        return 0;
    switch (*request.timeFormat) {
    case TimeFormat::SongPointer:
        if (renderer_ && renderer_->song().ticksPerQuarter == 0)
            return MCIERR_BAD_TIME_FORMAT;
        [[fallthrough]];
    case TimeFormat::Milliseconds:
    case TimeFormat::Smpte24:
    case TimeFormat::Smpte25:
    case TimeFormat::Smpte30:
    case TimeFormat::Smpte30Drop: {
        std::lock_guard lock(mutex_);
        format_ = *request.timeFormat;
        return 0;
    }
    default:
        return MCIERR_BAD_TIME_FORMAT;
    }
}

uint32_t SequencerDevice::status(const StatusRequest& request, std::string& reply)
{
    Ended ended;
    uint32_t code = 0;
    {
        std::lock_guard lock(mutex_);
        if (renderer_)
            checkEndLocked(ended);
        const bool hasFile = renderer_ != nullptr;
        switch (request.item) {
        case StatusItem::Mode:
            reply = mode_ == Mode::Playing ? "playing" : mode_ == Mode::Paused ? "paused" : "stopped";
            break;
        case StatusItem::TimeFormat: reply = std::string(timeFormatName(format_)); break;
        case StatusItem::MediaPresent: reply = "true"; break;
        case StatusItem::Ready: reply = "true"; break;
        case StatusItem::NumberOfTracks: reply = "1"; break;
        case StatusItem::CurrentTrack: reply = "1"; break;
        case StatusItem::Position:
        case StatusItem::Length:
        case StatusItem::StartPosition:
            if (!hasFile) {
                code = MCIERR_NONAPPLICABLE_FUNCTION;
            } else if (request.track && *request.track != 1) {
                code = MCIERR_OUTOFRANGE;
            } else if (request.item == StatusItem::Length) {
                reply = formatFrame(renderer_->lengthFrames());
            } else if (request.item == StatusItem::StartPosition || request.track) {
                reply = formatFrame(0);
            } else {
                reply = formatFrame(positionLocked());
            }
            break;
        }
    }
    notify(ended);
    return code;
}

uint32_t SequencerDevice::info(InfoItem item, std::string& reply)
{
    switch (item) {
    case InfoItem::Product: reply = "FluidSynth MIDI Sequencer"; return 0;
    case InfoItem::File: reply = path_; return 0;
    case InfoItem::Identity: return MCIERR_UNSUPPORTED_FUNCTION;
    }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

uint32_t SequencerDevice::capability(CapabilityItem item, std::string& reply)
{
    switch (item) {
    case CapabilityItem::DeviceType: reply = "sequencer"; return 0;
    case CapabilityItem::CanPlay:
    case CapabilityItem::CompoundDevice:
    case CapabilityItem::HasAudio:
    case CapabilityItem::UsesFiles: reply = "true"; return 0;
    default: reply = "false"; return 0;
    }
}

} // namespace

std::unique_ptr<Device> makeSequencerDevice(const DeviceContext& context, std::string soundFont)
{
    return std::make_unique<SequencerDevice>(context, std::move(soundFont));
}

DeviceType sequencerDeviceType()
{
    return {"sequencer", {".mid", ".midi", ".rmi"},
            [](const DeviceContext& context) { return makeSequencerDevice(context, seq::findSoundFont()); }};
}

} // namespace kb::mci
