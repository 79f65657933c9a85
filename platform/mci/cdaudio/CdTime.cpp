#include "platform/mci/cdaudio/CdTime.h"

namespace kb::mci::cdaudio {

namespace {

constexpr int kFps = cdrom::kFramesPerSecond;

std::string msfText(int64_t frames)
{
    const auto f = static_cast<uint32_t>(frames);
    return formatMsf(f / (60 * kFps), f / kFps % 60, f % kFps);
}

// 0:2:75 is no address: a second has 75 frames and a minute 60 seconds.
bool validSecondsAndFrames(uint32_t seconds, uint32_t frames) { return seconds < 60 && frames < kFps; }

int64_t floorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

} // namespace

uint32_t framesToMs(int64_t frames) { return static_cast<uint32_t>(frames * 1000 / kFps + 1); }

int64_t msToFrames(int64_t ms) { return floorDiv((ms - 1) * kFps + 500, 1000); }

std::optional<int64_t> commandToFrame(uint32_t value, TimeFormat format, const cdrom::Toc& toc)
{
    switch (format) {
    case TimeFormat::Milliseconds:
        return msToFrames(value);
    case TimeFormat::Tmsf: {
        const cdrom::TocTrack* track = toc.track(static_cast<int>(field(value, 0)));
        if (!track || !validSecondsAndFrames(field(value, 2), field(value, 3)))
            return std::nullopt;
        return track->start + field(value, 1) * 60 * kFps + field(value, 2) * kFps + field(value, 3);
    }
    default:
        if (!validSecondsAndFrames(field(value, 1), field(value, 2)))
            return std::nullopt;
        return int64_t{field(value, 0)} * 60 * kFps + field(value, 1) * kFps + field(value, 2);
    }
}

std::string positionReply(int frame, TimeFormat format, const cdrom::Toc& toc)
{
    switch (format) {
    case TimeFormat::Milliseconds:
        return std::to_string(framesToMs(frame));
    case TimeFormat::Tmsf: {
        const cdrom::TocTrack& t = toc.trackAt(frame);
        const auto offset = static_cast<uint32_t>(std::max(frame - t.start, 0));
        return formatTmsf(static_cast<uint32_t>(t.number), offset / (60 * kFps), offset / kFps % 60,
                          offset % kFps);
    }
    default:
        return msfText(frame);
    }
}

std::string lengthReply(int frames, TimeFormat format)
{
    if (format == TimeFormat::Milliseconds)
        return std::to_string(framesToMs(frames));
    return msfText(frames);
}

std::string trackStartReply(const cdrom::TocTrack& track, TimeFormat format)
{
    if (format == TimeFormat::Tmsf)
        return formatTmsf(static_cast<uint32_t>(track.number), 0, 0, 0);
    if (format == TimeFormat::Milliseconds)
        return std::to_string(framesToMs(track.start));
    return msfText(track.start);
}

} // namespace kb::mci::cdaudio
