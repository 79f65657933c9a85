#include "platform/cdrom/NrgLayout.h"

#include "platform/cdrom/DiscToc.h"

#include <cstring>
#include <optional>

namespace kb::cdrom {

namespace {

uint64_t bigEndian(const uint8_t* p, int bytes)
{
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

bool isId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// Sector size of a track mode byte, and whether the mode is CD audio; nullopt for modes
// no Nero image is known to write.
struct ModeInfo {
    int sectorSize;
    bool audio;
};
std::optional<ModeInfo> modeInfo(uint32_t mode)
{
    switch (mode) {
    case 0x00:
    case 0x02: return ModeInfo{2048, false};
    case 0x03: return ModeInfo{2336, false};
    case 0x05:
    case 0x06: return ModeInfo{2352, false};
    case 0x07: return ModeInfo{2352, true};
    case 0x0F:
    case 0x11: return ModeInfo{2448, false};
    case 0x10: return ModeInfo{2448, true};
    default: return std::nullopt;
    }
}

struct ChainReader {
    int64_t dataEnd; // the image data ends where the chain starts
    NrgLayout& out;
    std::string& error;

    bool fail(const std::string& why)
    {
        error = why;
        return false;
    }

    bool addTrack(NrgTrack t)
    {
        if (out.tracks.size() >= 99)
            return fail("more than 99 tracks");
        if (t.sectorSize <= 0 || t.pregapOffset < 0 || t.pregapOffset > t.dataOffset || t.dataOffset >= t.endOffset
            || t.endOffset > dataEnd)
            return fail("track " + std::to_string(out.tracks.size() + 1) + " lies outside the image data");
        if ((t.dataOffset - t.pregapOffset) % t.sectorSize != 0 || (t.endOffset - t.dataOffset) % t.sectorSize != 0)
            return fail("track " + std::to_string(out.tracks.size() + 1) + " is not a whole number of sectors");
        if (!out.tracks.empty() && t.pregapOffset < out.tracks.back().endOffset)
            return fail("tracks overlap");
        out.tracks.push_back(t);
        return true;
    }

    // DAOI (32-bit offsets) or DAOX (64-bit): a disc-at-once session.
    bool dao(const uint8_t* data, uint32_t len, bool wide)
    {
        constexpr uint32_t kHeader = 22;
        const uint32_t entry = wide ? 42 : 30;
        if (len < kHeader)
            return fail("DAO chunk too short");
        const int first = data[20];
        const int last = data[21];
        if (first < 1 || last < first || last > 99)
            return fail("DAO chunk names tracks " + std::to_string(first) + " to " + std::to_string(last));
        const uint32_t count = static_cast<uint32_t>(last - first + 1);
        if (len < kHeader + count * entry)
            return fail("DAO chunk shorter than its tracks");
        const int width = wide ? 8 : 4;
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = data + kHeader + i * entry;
            const auto mode = modeInfo(e[14]);
            const auto size = static_cast<int>(bigEndian(e + 12, 2));
            if (!mode || size != mode->sectorSize)
                return fail("track " + std::to_string(first + static_cast<int>(i)) + " has an unknown sector format");
            const uint64_t index0 = bigEndian(e + 18, width);
            const uint64_t index1 = bigEndian(e + 18 + width, width);
            const uint64_t end = bigEndian(e + 18 + 2 * width, width);
            if (end > static_cast<uint64_t>(dataEnd))
                return fail("track " + std::to_string(first + static_cast<int>(i)) + " ends past the image data");
            if (!addTrack({mode->audio, size, static_cast<int64_t>(index0), static_cast<int64_t>(index1),
                           static_cast<int64_t>(end)}))
                return false;
        }
        return true;
    }

    // ETNF (32-bit) or ETN2 (64-bit): track-at-once entries, one per track.
    bool etn(const uint8_t* data, uint32_t len, bool wide)
    {
        const uint32_t entry = wide ? 32 : 20;
        if (len == 0 || len % entry != 0)
            return fail("ETN chunk length is not a whole number of entries");
        const int width = wide ? 8 : 4;
        for (uint32_t at = 0; at < len; at += entry) {
            const uint8_t* e = data + at;
            const uint64_t offset = bigEndian(e, width);
            const uint64_t length = bigEndian(e + width, width);
            const auto mode = modeInfo(static_cast<uint32_t>(bigEndian(e + 2 * width, 4)));
            if (!mode)
                return fail("track " + std::to_string(out.tracks.size() + 1) + " has an unknown sector format");
            if (offset > static_cast<uint64_t>(dataEnd) || length > static_cast<uint64_t>(dataEnd) - offset)
                return fail("track " + std::to_string(out.tracks.size() + 1) + " lies outside the image data");
            // Tracks written one at a time are 2 s apart on the disc.
            const auto start = static_cast<int64_t>(offset);
            const int gap = out.tracks.empty() ? 0 : 2 * kFramesPerSecond;
            if (!addTrack({mode->audio, mode->sectorSize, start, start, start + static_cast<int64_t>(length), gap}))
                return false;
        }
        return true;
    }
};

} // namespace

bool nrgChainPlace(std::span<const uint8_t> footer, int64_t fileSize, NrgChainPlace& place, std::string& error)
{
    if (fileSize < 12 || footer.size() < 12 || static_cast<int64_t>(footer.size()) > fileSize) {
        error = "too short for a Nero image";
        return false;
    }
    const uint8_t* end = footer.data() + footer.size();
    int64_t footerSize = 0;
    uint64_t start = 0;
    if (isId(end - 8, "NERO")) {
        footerSize = 8;
        start = bigEndian(end - 4, 4);
    } else if (isId(end - 12, "NER5")) {
        footerSize = 12;
        start = bigEndian(end - 8, 8);
    } else {
        error = "no Nero footer at the end of the file";
        return false;
    }
    // The chain needs at least its END! chunk before the footer, and lies after the data.
    if (fileSize < footerSize + 8 || start > static_cast<uint64_t>(fileSize - footerSize - 8)) {
        error = "the footer points past the end of the file";
        return false;
    }
    if (fileSize - static_cast<int64_t>(start) > kMaxNrgChainBytes) {
        error = "the chunk chain is implausibly large";
        return false;
    }
    place = {static_cast<int64_t>(start), fileSize - footerSize};
    return true;
}

bool parseNrgChain(std::span<const uint8_t> chain, const NrgChainPlace& place, NrgLayout& out, std::string& error)
{
    out = {};
    if (static_cast<int64_t>(chain.size()) != place.end - place.start) {
        error = "chunk chain cut short";
        return false;
    }
    const size_t limit = chain.size();
    ChainReader reader{place.start, out, error};
    size_t pos = 0;
    while (true) {
        if (limit - pos < 8)
            return reader.fail("chunk chain ends without END!");
        const uint8_t* head = chain.data() + pos;
        const uint64_t len = bigEndian(head + 4, 4);
        if (len > limit - pos - 8)
            return reader.fail("a chunk runs past the chain");
        const uint8_t* data = head + 8;
        const auto n = static_cast<uint32_t>(len);
        if (isId(head, "END!"))
            break;
        bool ok = true;
        if (isId(head, "DAOI") || isId(head, "DAOX"))
            ok = reader.dao(data, n, isId(head, "DAOX"));
        else if (isId(head, "ETNF") || isId(head, "ETN2"))
            ok = reader.etn(data, n, isId(head, "ETN2"));
        else if (isId(head, "NERO") || isId(head, "NER5"))
            ok = reader.fail("a footer inside the chunk chain");
        // CUES, CUEX, SINF, MTYP, CDTX and others only repeat or add nothing the player needs.
        if (!ok)
            return false;
        pos += 8 + n;
    }
    if (out.tracks.empty())
        return reader.fail("no track information (DAOI, DAOX, ETNF or ETN2)");
    return true;
}

} // namespace kb::cdrom
