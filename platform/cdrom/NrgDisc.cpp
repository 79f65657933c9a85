#include "platform/cdrom/NrgDisc.h"

#include "platform/cdrom/FrameRuns.h"
#include "platform/cdrom/NrgLayout.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace kb::cdrom {

namespace {

// A run of consecutive disc frames stored one after another in the image file.
struct Run {
    int discStart = 0;
    int count = 0;
    int64_t fileOffset = 0;
    int sectorSize = 2352;
    bool audio = true;
};

class NrgDisc final : public Disc {
public:
    const Toc& toc() const override { return toc_; }

    int readAudio(int frame, int count, int16_t* out) override
    {
        std::lock_guard lock(mutex_);
        count = toc_.readableFrames(frame, count);
        if (count <= 0)
            return count;
        for (int i = 0; i < count; ++i) {
            auto* dst = reinterpret_cast<char*>(out + static_cast<size_t>(i) * kSamplesPerFrame * 2);
            const Run* run = runAt(runs_, frame + i);
            if (!run || !run->audio) {
                std::memset(dst, 0, kBytesPerFrame);
                continue;
            }
            const int64_t at = run->fileOffset + int64_t{frame + i - run->discStart} * run->sectorSize;
            if (!file_.seek(at) || file_.read(dst, kBytesPerFrame) != kBytesPerFrame)
                return i > 0 ? i : -1;
        }
        return count;
    }

    Toc toc_;
    std::vector<Run> runs_;
    QFile file_;

private:
    std::mutex mutex_;
};

std::vector<uint8_t> readAt(QFile& file, int64_t offset, int64_t size)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (!file.seek(offset) || file.read(reinterpret_cast<char*>(bytes.data()), size) != size)
        return {};
    return bytes;
}

} // namespace

DiscOpenResult openNrgDisc(const std::string& path)
{
    DiscOpenResult result;
    auto fail = [&](DiscError e, const std::string& why) {
        result.error = e;
        result.message = path + ": " + why;
        return std::move(result);
    };
    auto disc = std::make_unique<NrgDisc>();
    disc->file_.setFileName(QString::fromStdString(path));
    if (!disc->file_.open(QIODevice::ReadOnly))
        return fail(DiscError::Unreadable, "cannot be read");
    const int64_t size = disc->file_.size();
    const std::vector<uint8_t> footer = size >= 12 ? readAt(disc->file_, size - 12, 12) : std::vector<uint8_t>{};
    NrgChainPlace place;
    std::string error;
    if (!nrgChainPlace(footer, size, place, error))
        return fail(DiscError::Invalid, "not a Nero image: " + error);
    const std::vector<uint8_t> chain = readAt(disc->file_, place.start, place.end - place.start);
    NrgLayout layout;
    if (chain.empty() || !parseNrgChain(chain, place, layout, error))
        return fail(DiscError::Invalid, "damaged Nero image: " + error);

    // Track 1's INDEX 01 sits at 00:02:00; everything else follows in file order.
    int64_t discPos = kLeadInFrames;
    for (size_t i = 0; i < layout.tracks.size(); ++i) {
        const NrgTrack& t = layout.tracks[i];
        const int64_t pregap = (t.dataOffset - t.pregapOffset) / t.sectorSize;
        const int64_t body = (t.endOffset - t.dataOffset) / t.sectorSize;
        discPos += t.gapFrames;
        if (i == 0)
            discPos -= pregap;
        if (discPos + pregap + body > kLastFrameAddress)
            return fail(DiscError::Invalid, "longer than a CD can be");
        disc->runs_.push_back({static_cast<int>(discPos), static_cast<int>(pregap + body), t.pregapOffset,
                               t.sectorSize, t.audio});
        disc->toc_.tracks.push_back({static_cast<int>(i) + 1, static_cast<int>(discPos + pregap), t.audio});
        discPos += pregap + body;
    }
    disc->toc_.leadOut = static_cast<int>(discPos);
    result.disc = std::move(disc);
    return result;
}

} // namespace kb::cdrom
