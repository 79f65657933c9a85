#include "platform/mci/cdaudio/CdAudioDevice.h"

#include "platform/audio/AudioEngine.h"
#include "platform/cdrom/CachedVirtualDrives.h"
#include "platform/cdrom/Disc.h"
#include "platform/cdrom/DriveName.h"
#include "platform/cdrom/DriveTable.h"
#include "platform/cdrom/ImageStamp.h"
#include "platform/cdrom/PhysicalDrives.h"
#include "platform/cdrom/VirtualDriveFile.h"
#include "platform/mci/cdaudio/CdPlaySession.h"
#include "platform/mci/cdaudio/CdTime.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace kb::mci {

namespace {

using cdrom::Toc;

class CdAudioDevice final : public Device {
public:
    explicit CdAudioDevice(const DeviceContext& context) : context_(context) {}
    ~CdAudioDevice() override { close(); }

    uint32_t open(const OpenRequest& request) override
    {
        if (!context_.drives)
            return MCIERR_DEVICE_NOT_INSTALLED;
        const std::vector<cdrom::DriveEntry> drives = context_.drives->drives();
        if (request.element.empty()) {
            if (drives.empty())
                return MCIERR_DEVICE_NOT_INSTALLED;
            drive_ = drives.front();
        } else {
            const auto name = cdrom::normalizeDriveName(request.element);
            const auto found = std::find_if(drives.begin(), drives.end(), [&](const auto& d) {
                return name && d.name == *name;
            });
            if (found == drives.end())
                return MCIERR_INVALID_DEVICE_NAME;
            drive_ = *found;
        }
        opened_ = true;
        format_ = TimeFormat::Msf;
        refreshDisc(true);
        return 0;
    }

    void close() override
    {
        endSession(PlayEnd::Stopped);
        retired_.clear();
        disc_.reset();
        opened_ = false;
    }

    uint32_t play(const PlayRequest& request, uint64_t playId) override
    {
        refreshDisc(false);
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        const Toc& toc = disc_->toc();
        int from = currentPosition();
        if (request.from) {
            const auto f = cdaudio::commandToFrame(*request.from, format_, toc);
            if (!f || !inRange(*f))
                return MCIERR_OUTOFRANGE;
            from = static_cast<int>(*f);
        }
        int to = toc.leadOut;
        if (request.to) {
            const auto t = cdaudio::commandToFrame(*request.to, format_, toc);
            if (!t || !inRange(*t))
                return MCIERR_OUTOFRANGE;
            to = static_cast<int>(*t);
        }
        if (from > to)
            return MCIERR_OUTOFRANGE;
        const auto audioFrom = skipDataTrack(from);
        if (!audioFrom)
            return MCIERR_OUTOFRANGE;
        from = *audioFrom;
        to = std::max(from, std::min(to, nextDataTrackStart(from)));
        if (!context_.audio)
            return MCIERR_HARDWARE;
        auto stream = context_.audio->openStream(audio::Line::AuxCd);
        if (!stream)
            return MCIERR_HARDWARE;
        endSession(PlayEnd::Stopped);
        position_ = from;
        session_ = std::make_unique<cdaudio::CdPlaySession>(disc_, std::move(stream), from, to, playId,
                                                            context_.events);
        playedDisc_ = true;
        return 0;
    }

    uint32_t stop() override
    {
        refreshDisc(false);
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        endSession(PlayEnd::Stopped);
        return 0;
    }

    uint32_t pause() override
    {
        refreshDisc(false);
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        if (session_ && !session_->finished())
            session_->setPaused(true);
        return 0;
    }

    uint32_t resume() override
    {
        refreshDisc(false);
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        // A drive has nothing to resume on a disc it never played.
        if (!playedDisc_)
            return MCIERR_HARDWARE;
        if (session_ && session_->paused())
            session_->setPaused(false);
        return 0;
    }

    uint32_t seek(const SeekRequest& request) override
    {
        refreshDisc(false);
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        const Toc& toc = disc_->toc();
        int target = toc.firstStart();
        if (request.kind == SeekRequest::Kind::End) {
            target = toc.leadOut - 1;
        } else if (request.kind == SeekRequest::Kind::To) {
            const auto f = cdaudio::commandToFrame(request.to, format_, toc);
            if (!f || !inRange(*f))
                return MCIERR_OUTOFRANGE;
            const auto audio = skipDataTrack(static_cast<int>(*f));
            if (!audio)
                return MCIERR_OUTOFRANGE;
            target = *audio;
        }
        endSession(PlayEnd::Stopped);
        position_ = target;
        return 0;
    }

    uint32_t set(const SetRequest& request) override
    {
        if (request.timeFormat) {
            const TimeFormat f = *request.timeFormat;
            if (f != TimeFormat::Msf && f != TimeFormat::Tmsf && f != TimeFormat::Milliseconds)
                return MCIERR_BAD_TIME_FORMAT;
            format_ = f;
        }
        if (request.doorOpen)
            return setDoor(*request.doorOpen);
        return 0;
    }

    uint32_t status(const StatusRequest& request, std::string& reply) override
    {
        refreshDisc(false);
        switch (request.item) {
        case StatusItem::Mode:
            reply = modeText();
            return 0;
        case StatusItem::MediaPresent:
        case StatusItem::Ready:
            reply = disc_ ? "true" : "false";
            return 0;
        case StatusItem::TimeFormat:
            reply = std::string(timeFormatName(format_));
            return 0;
        default:
            break;
        }
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        const Toc& toc = disc_->toc();
        const cdrom::TocTrack* track = nullptr;
        if (request.track) {
            track = toc.track(static_cast<int>(*request.track));
            if (!track)
                return MCIERR_OUTOFRANGE;
        }
        switch (request.item) {
        case StatusItem::Position:
            reply = track ? cdaudio::trackStartReply(*track, format_)
                          : cdaudio::positionReply(currentPosition(), format_, toc);
            return 0;
        case StatusItem::Length:
            reply = cdaudio::lengthReply(track ? toc.trackLength(track->number) : toc.discLength(),
                                         format_);
            return 0;
        case StatusItem::CurrentTrack:
            reply = std::to_string(toc.trackAt(currentPosition()).number);
            return 0;
        case StatusItem::NumberOfTracks:
            reply = std::to_string(toc.trackCount());
            return 0;
        case StatusItem::StartPosition:
            reply = cdaudio::positionReply(toc.firstStart(), format_, toc);
            return 0;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
    }

    uint32_t info(InfoItem item, std::string& reply) override
    {
        if (item == InfoItem::Product) {
            reply = drive_.isVirtual ? "Kobaltune Virtual CD Audio" : "Kobaltune CD Audio";
            return 0;
        }
        if (item != InfoItem::Identity)
            return MCIERR_UNSUPPORTED_FUNCTION;
        refreshDisc(false);
        if (!disc_)
            return MCIERR_DEVICE_NOT_READY;
        reply = std::to_string(disc_->toc().identity());
        return 0;
    }

    uint32_t capability(CapabilityItem item, std::string& reply) override
    {
        switch (item) {
        case CapabilityItem::CanEject:
        case CapabilityItem::CanPlay:
        case CapabilityItem::HasAudio:
            reply = "true";
            break;
        case CapabilityItem::DeviceType:
            reply = "cdaudio";
            break;
        default:
            reply = "false";
            break;
        }
        return 0;
    }

    bool pauseAbortsNotify() const override { return true; }

private:
    bool inRange(int64_t frame) const
    {
        const Toc& toc = disc_->toc();
        return frame >= toc.firstStart() && frame < toc.leadOut;
    }

    // A frame inside a data track moves to the start of the next audio track.
    std::optional<int> skipDataTrack(int frame) const
    {
        const Toc& toc = disc_->toc();
        if (toc.trackAt(frame).audio)
            return frame;
        for (const cdrom::TocTrack& t : toc.tracks) {
            if (t.start > frame && t.audio)
                return t.start;
        }
        return std::nullopt;
    }

    // Play stops where a data track begins: its sectors are not sound.
    int nextDataTrackStart(int frame) const
    {
        const Toc& toc = disc_->toc();
        for (const cdrom::TocTrack& t : toc.tracks) {
            if (t.start > frame && !t.audio)
                return t.start;
        }
        return toc.leadOut;
    }

    int currentPosition()
    {
        int frame = session_ ? session_->position() : position_;
        if (disc_)
            frame = std::clamp(frame, disc_->toc().firstStart(), disc_->toc().leadOut - 1);
        return frame;
    }

    std::string modeText() const
    {
        if (!disc_)
            return doorOpen_ ? "open" : "not ready";
        if (session_ && !session_->finished())
            return session_->paused() ? "paused" : "playing";
        return "stopped";
    }

    // Ends the running play; the position stays where it was heard.
    void endSession(PlayEnd how)
    {
        std::erase_if(retired_, [](const auto& s) { return s->workerDone(); });
        if (!session_)
            return;
        position_ = session_->position();
        session_->requestStop();
        session_->reportEnd(how);
        retired_.push_back(std::move(session_));
    }

    // Follows the drive: a disc put in, taken out or changed since the last look. force
    // reads the disc again even when the drive still names the same one.
    void refreshDisc(bool force)
    {
        if (!opened_)
            return;
        std::string source;
        bool doorOpen = false;
        if (drive_.isVirtual) {
            for (const cdrom::VirtualDrive& v : virtualDrives_.drives()) {
                if (v.name == drive_.name) {
                    source = v.image;
                    doorOpen = v.doorOpen;
                }
            }
        } else {
            if (!force && session_ && !session_->finished())
                return;
            const cdrom::TrayState tray = cdrom::trayState(drive_.source);
            doorOpen = tray == cdrom::TrayState::TrayOpen;
            if (tray == cdrom::TrayState::DiscOk || tray == cdrom::TrayState::NoInfo)
                source = drive_.source;
        }
        doorOpen_ = doorOpen;
        // An image rewritten in place is another disc under the same name.
        const std::string loaded = drive_.isVirtual && !source.empty() ? source + '\n' + cdrom::imageStamp(source)
                                                                       : source;
        if (!force && loaded == loadedSource_)
            return;
        endSession(PlayEnd::Stopped);
        disc_.reset();
        playedDisc_ = false;
        loadedSource_ = loaded;
        position_ = cdrom::kLeadInFrames;
        if (source.empty())
            return;
        // An unreadable image counts as a disc the drive cannot read: no media present.
        cdrom::DiscOpenResult opened = cdrom::openDisc(source);
        if (opened.disc && !opened.disc->toc().tracks.empty()) {
            disc_ = std::move(opened.disc);
            position_ = disc_->toc().firstStart();
        }
    }

    uint32_t setDoor(bool open)
    {
        if (drive_.isVirtual) {
            const cdrom::VirtualDriveFile file;
            std::vector<cdrom::VirtualDrive> drives = file.read();
            const auto v = std::find_if(drives.begin(), drives.end(),
                                        [&](const auto& d) { return d.name == drive_.name; });
            if (v == drives.end())
                return MCIERR_HARDWARE;
            bool changed = false;
            if (open && !v->doorOpen) {
                v->trayImage = std::exchange(v->image, std::string());
                v->doorOpen = changed = true;
            } else if (!open && v->doorOpen) {
                v->image = std::exchange(v->trayImage, std::string());
                v->doorOpen = false;
                changed = true;
            }
            if (changed && !file.write(drives))
                return MCIERR_HARDWARE;
            refreshDisc(false);
            return 0;
        }
        if (open)
            endSession(PlayEnd::Stopped);
        if (!cdrom::moveTray(drive_.source, open))
            return MCIERR_HARDWARE;
        refreshDisc(true);
        return 0;
    }


    DeviceContext context_;
    cdrom::DriveEntry drive_;
    bool opened_ = false;
    bool doorOpen_ = false;
    bool playedDisc_ = false; // a play started since the disc came in
    TimeFormat format_ = TimeFormat::Msf;
    std::shared_ptr<cdrom::Disc> disc_;
    std::string loadedSource_;
    cdrom::CachedVirtualDrives virtualDrives_;
    int position_ = cdrom::kLeadInFrames;
    std::unique_ptr<cdaudio::CdPlaySession> session_;
    std::vector<std::unique_ptr<cdaudio::CdPlaySession>> retired_;
};

} // namespace

DeviceType cdAudioDeviceType()
{
    return {"cdaudio", {}, [](const DeviceContext& c) { return std::make_unique<CdAudioDevice>(c); }};
}

} // namespace kb::mci
