#include "platform/cdrom/CdioDisc.h"

#include "platform/cdrom/CueSheet.h"

#include <QByteArray>
#include <QString>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstring>
#include <mutex>

namespace kb::cdrom {

namespace {

struct CdioDeleter {
    void operator()(CdIo_t* p) const { cdio_destroy(p); }
};
struct DriveDeleter {
    void operator()(cdrom_drive_t* d) const { cdio_cddap_close_no_free_cdio(d); }
};
struct ParanoiaDeleter {
    void operator()(cdrom_paranoia_t* p) const { cdio_paranoia_free(p); }
};

void quietLog(cdio_log_level_t, const char*) {}

// CD-TEXT comes back with each byte as a Latin-1 code point.
std::string cdText(const cdtext_t* text, cdtext_field_t field, track_t track)
{
    const char* value = text ? cdtext_get_const(text, field, track) : nullptr;
    if (!value)
        return {};
    QByteArray bytes;
    for (QChar c : QString::fromUtf8(value))
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
    return decodeDiscText(bytes);
}

// The correction ladder for physical reads: full paranoia, then overlap checking only,
// then plain reads; a sector none of them can read plays as silence.
constexpr int kLadder[] = {PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP, PARANOIA_MODE_OVERLAP,
                           PARANOIA_MODE_DISABLE};
constexpr int kRetries = 3;

class CdioDisc final : public Disc {
public:
    const Toc& toc() const override { return toc_; }
    DiscTitles titles() const override { return titles_; }

    int readAudio(int frame, int count, int16_t* out) override
    {
        std::lock_guard lock(mutex_);
        count = toc_.readableFrames(frame, count);
        if (count <= 0)
            return count;
        for (int i = 0; i < count; ++i) {
            int16_t* dst = out + static_cast<size_t>(i) * kSamplesPerFrame * 2;
            const int f = frame + i;
            if (!toc_.trackAt(f).audio) {
                std::memset(dst, 0, kBytesPerFrame);
                continue;
            }
            if (!readSector(f - kLeadInFrames, dst))
                return i > 0 ? i : -1;
        }
        return count;
    }

    bool readSector(lsn_t lsn, int16_t* dst)
    {
        if (!paranoia_) {
            return cdio_read_audio_sectors(cdio_.get(), dst, lsn, 1) == DRIVER_OP_SUCCESS;
        }
        for (size_t step = ladderStep_; step < std::size(kLadder); ++step) {
            if (step != ladderStep_ || lsn != nextLsn_) {
                cdio_paranoia_modeset(paranoia_.get(), kLadder[step]);
                cdio_paranoia_seek(paranoia_.get(), lsn, SEEK_SET);
            }
            const int16_t* data = cdio_paranoia_read_limited(paranoia_.get(), nullptr, kRetries);
            if (data) {
                std::memcpy(dst, data, kBytesPerFrame);
                ladderStep_ = step;
                nextLsn_ = lsn + 1;
                return true;
            }
            nextLsn_ = -1;
        }
        std::memset(dst, 0, kBytesPerFrame);
        ladderStep_ = 0;
        nextLsn_ = -1;
        return true;
    }

    std::unique_ptr<CdIo_t, CdioDeleter> cdio_;
    std::unique_ptr<cdrom_drive_t, DriveDeleter> drive_;
    std::unique_ptr<cdrom_paranoia_t, ParanoiaDeleter> paranoia_;
    Toc toc_;
    DiscTitles titles_;

private:
    std::mutex mutex_;
    size_t ladderStep_ = 0;
    lsn_t nextLsn_ = -1;
};

} // namespace

DiscOpenResult openCdioDisc(const std::string& source, CdioSource kind)
{
    cdio_log_set_handler(quietLog);
    DiscOpenResult result;
    const driver_id_t driver = kind == CdioSource::CdrdaoToc ? DRIVER_CDRDAO : DRIVER_LINUX;
    auto disc = std::make_unique<CdioDisc>();
    disc->cdio_.reset(cdio_open(source.c_str(), driver));
    if (!disc->cdio_) {
        result.error = kind == CdioSource::Drive ? DiscError::NoDisc : DiscError::Invalid;
        result.message = source + ": cannot be opened as a disc";
        return result;
    }
    CdIo_t* p = disc->cdio_.get();
    const track_t first = cdio_get_first_track_num(p);
    const track_t count = cdio_get_num_tracks(p);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        result.error = kind == CdioSource::Drive ? DiscError::NoDisc : DiscError::Invalid;
        result.message = source + ": no table of contents";
        return result;
    }
    for (track_t t = first; t < first + count; ++t) {
        const lsn_t lsn = cdio_get_track_lsn(p, t);
        if (lsn == CDIO_INVALID_LSN) {
            result.error = DiscError::Invalid;
            result.message = source + ": bad table of contents";
            return result;
        }
        disc->toc_.tracks.push_back(
            {t, lsn + kLeadInFrames, cdio_get_track_format(p, t) == TRACK_FORMAT_AUDIO});
    }
    disc->toc_.leadOut = cdio_get_track_lsn(p, CDIO_CDROM_LEADOUT_TRACK) + kLeadInFrames;
    if (disc->toc_.leadOut <= disc->toc_.tracks.back().start) {
        result.error = DiscError::Invalid;
        result.message = source + ": bad lead-out";
        return result;
    }
    const cdtext_t* text = cdio_get_cdtext(p);
    disc->titles_.album = cdText(text, CDTEXT_FIELD_TITLE, 0);
    disc->titles_.performer = cdText(text, CDTEXT_FIELD_PERFORMER, 0);
    for (const TocTrack& t : disc->toc_.tracks)
        disc->titles_.tracks.push_back(cdText(text, CDTEXT_FIELD_TITLE, static_cast<track_t>(t.number)));
    if (kind == CdioSource::Drive) {
        disc->drive_.reset(cdio_cddap_identify_cdio(p, CDDA_MESSAGE_FORGETIT, nullptr));
        if (disc->drive_ && cdio_cddap_open(disc->drive_.get()) == 0)
            disc->paranoia_.reset(cdio_paranoia_init(disc->drive_.get()));
    }
    result.disc = std::move(disc);
    return result;
}

} // namespace kb::cdrom
