#include "platform/mci/avivideo/AviVideoDevice.h"

#include "platform/audio/AudioEngine.h"
#include "platform/mci/avivideo/MediaFile.h"
#include "platform/mci/avivideo/VideoOutput.h"
#include "platform/mci/avivideo/VideoPlayback.h"

namespace kb::mci {

namespace {

using avi::VideoPlayback;

constexpr int32_t kMaxWindowExtent = 32767;
const QSize kLargestPicture(7680, 4320);

class AviVideoDevice final : public Device {
public:
    explicit AviVideoDevice(const DeviceContext& context) : ctx_(context) {}
    ~AviVideoDevice() override { close(); }

    uint32_t open(const OpenRequest& request) override;
    void close() override;
    uint32_t play(const PlayRequest& request, uint64_t playId) override;
    uint32_t stop() override { return playback_ ? playback_->stop() : 0; }
    uint32_t pause() override { return playback_ ? playback_->pause() : 0; }
    uint32_t resume() override { return playback_ ? playback_->resume() : 0; }
    uint32_t seek(const SeekRequest& request) override;
    uint32_t set(const SetRequest& request) override;
    uint32_t status(const StatusRequest& request, std::string& reply) override;
    uint32_t info(InfoItem item, std::string& reply) override;
    uint32_t capability(CapabilityItem item, std::string& reply) override;
    uint32_t window(const WindowRequest& request) override;
    uint32_t put(const PutRequest& request) override;

private:
    bool toMs(uint32_t value, int64_t& ms) const;
    std::string format(int64_t ms) const;
    void updateArea();

    DeviceContext ctx_;
    std::string path_;
    std::unique_ptr<avi::VideoOutput> output_;
    std::unique_ptr<VideoPlayback> playback_;
    TimeFormat format_ = TimeFormat::Frames;
    int fpsNum_ = 1000;
    int fpsDen_ = 1;
    bool hasVideo_ = false;
};

uint32_t AviVideoDevice::open(const OpenRequest& request)
{
    if (request.element.empty())
        return 0; // the bare device
    auto media = std::make_unique<avi::MediaFile>();
    switch (media->open(request.element, audio::kOutputRate)) {
    case avi::MediaFile::OpenResult::NotFound: return MCIERR_FILE_NOT_FOUND;
    case avi::MediaFile::OpenResult::Invalid: return MCIERR_INVALID_FILE;
    case avi::MediaFile::OpenResult::Ok: break;
    }
    std::shared_ptr<audio::AudioStream> stream;
    if (media->hasAudio()) {
        if (!ctx_.audio || !(stream = ctx_.audio->openStream(audio::Line::WaveOut0)))
            return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    close();
    path_ = request.element;
    fpsNum_ = media->fpsNum();
    fpsDen_ = media->fpsDen();
    hasVideo_ = media->hasVideo();
    format_ = TimeFormat::Frames;
    output_ = std::make_unique<avi::VideoOutput>(QSize(media->displayWidth(), media->height()));
    playback_ = std::make_unique<VideoPlayback>(std::move(media), std::move(stream), output_.get(), ctx_.events);
    updateArea();
    return 0;
}

void AviVideoDevice::close()
{
    playback_.reset(); // joins the decoding thread before the window side goes away
    output_.reset();
    path_.clear();
}

void AviVideoDevice::updateArea()
{
    // No screen shows more than this; a larger area gets a picture of this size that the
    // window scales up, rather than a picture of gigabytes.
    if (playback_ && output_) {
        QSize area = output_->areaSize();
        if (area.width() > kLargestPicture.width() || area.height() > kLargestPicture.height())
            area = area.scaled(kLargestPicture, Qt::KeepAspectRatio);
        playback_->setArea(area);
    }
}

bool AviVideoDevice::toMs(uint32_t value, int64_t& ms) const
{
    if (format_ == TimeFormat::Milliseconds) {
        ms = value;
        return true;
    }
    // Rounded up, so that a frame number reads back as itself.
    const int64_t scaled = int64_t(value) * 1000 * fpsDen_;
    ms = (scaled + fpsNum_ - 1) / fpsNum_;
    return true;
}

std::string AviVideoDevice::format(int64_t ms) const
{
    if (format_ == TimeFormat::Milliseconds)
        return std::to_string(ms);
    return std::to_string(ms * fpsNum_ / (int64_t(1000) * fpsDen_));
}

uint32_t AviVideoDevice::play(const PlayRequest& request, uint64_t playId)
{
    if (!playback_)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    std::optional<int64_t> from, to;
    int64_t ms = 0;
    if (request.from && toMs(*request.from, ms))
        from = ms;
    if (request.to && toMs(*request.to, ms))
        to = ms;
    return playback_->play(from, to, playId);
}

uint32_t AviVideoDevice::seek(const SeekRequest& request)
{
    if (!playback_)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    int64_t target = 0;
    if (request.kind == SeekRequest::Kind::End)
        target = playback_->lengthMs();
    else if (request.kind == SeekRequest::Kind::To)
        toMs(request.to, target);
    return playback_->seek(target);
}

uint32_t AviVideoDevice::set(const SetRequest& request)
{
    if (request.doorOpen)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (request.timeFormat) {
        if (*request.timeFormat != TimeFormat::Frames && *request.timeFormat != TimeFormat::Milliseconds)
            return MCIERR_BAD_TIME_FORMAT;
        format_ = *request.timeFormat;
    }
    return 0;
}

uint32_t AviVideoDevice::status(const StatusRequest& request, std::string& reply)
{
    switch (request.item) {
    case StatusItem::Mode:
        reply = playback_ ? playback_->modeName() : "stopped";
        return 0;
    case StatusItem::TimeFormat: reply = std::string(timeFormatName(format_)); return 0;
    case StatusItem::MediaPresent:
    case StatusItem::Ready: reply = "true"; return 0;
    case StatusItem::NumberOfTracks:
    case StatusItem::CurrentTrack: reply = "1"; return 0;
    case StatusItem::Position:
    case StatusItem::Length:
    case StatusItem::StartPosition:
        if (!playback_)
            return MCIERR_NONAPPLICABLE_FUNCTION;
        if (request.track && *request.track != 1)
            return MCIERR_OUTOFRANGE;
        if (request.item == StatusItem::Length)
            reply = format(playback_->lengthMs());
        else if (request.item == StatusItem::StartPosition || request.track)
            reply = format(0);
        else
            reply = format(playback_->positionMs());
        return 0;
    }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

uint32_t AviVideoDevice::info(InfoItem item, std::string& reply)
{
    switch (item) {
    case InfoItem::Product: reply = "FFmpeg Video Player"; return 0;
    case InfoItem::File: reply = path_; return 0;
    case InfoItem::Identity: return MCIERR_UNSUPPORTED_FUNCTION;
    }
    return MCIERR_UNRECOGNIZED_KEYWORD;
}

uint32_t AviVideoDevice::capability(CapabilityItem item, std::string& reply)
{
    switch (item) {
    case CapabilityItem::DeviceType: reply = "digitalvideo"; return 0;
    case CapabilityItem::HasVideo: reply = hasVideo_ || !playback_ ? "true" : "false"; return 0;
    case CapabilityItem::CanPlay:
    case CapabilityItem::CompoundDevice:
    case CapabilityItem::HasAudio:
    case CapabilityItem::UsesFiles: reply = "true"; return 0;
    default: reply = "false"; return 0;
    }
}

uint32_t AviVideoDevice::window(const WindowRequest& request)
{
    if (!output_)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    if (request.handle && !output_->setWindow(*request.handle))
        return MCIERR_NO_WINDOW;
    if (request.show)
        output_->setShown(*request.show);
    updateArea();
    return 0;
}

uint32_t AviVideoDevice::put(const PutRequest& request)
{
    if (!output_)
        return MCIERR_NONAPPLICABLE_FUNCTION;
    if (request.rect) {
        // Window coordinates are 16-bit on the window system: a rectangle beyond them could
        // never be shown, and its sums would overflow.
        const auto& r = *request.rect;
        const auto coordinate = [](int32_t v) { return v >= -kMaxWindowExtent && v <= kMaxWindowExtent; };
        if (r[2] <= 0 || r[3] <= 0 || r[2] > kMaxWindowExtent || r[3] > kMaxWindowExtent || !coordinate(r[0])
            || !coordinate(r[1]))
            return MCIERR_OUTOFRANGE;
        output_->setDestination(QRect(r[0], r[1], r[2], r[3]));
    } else {
        output_->setDestination(std::nullopt);
    }
    updateArea();
    return 0;
}

} // namespace

DeviceType aviVideoDeviceType()
{
    return {"avivideo",
            {".avi", ".mpeg", ".mpg", ".mpe", ".mpv", ".m1v", ".mp2", ".mpv2", ".mp2v", ".mpa"},
            [](const DeviceContext& context) { return std::make_unique<AviVideoDevice>(context); }};
}

} // namespace kb::mci
