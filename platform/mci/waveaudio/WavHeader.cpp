#include "platform/mci/waveaudio/WavHeader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kb::mci::wave {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChunks = 4096;     // a real file has a handful; stop walking past that
constexpr int kMaxChannels = 8;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr uint32_t kUnknownSize = 0xFFFFFFFFu; // written by recorders that never finished
// The tail every extensible sub-format GUID shares after its leading format tag.
constexpr std::array<uint8_t, 14> kGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                               0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16)
        | (static_cast<uint32_t>(p[3]) << 24);
}

struct Format {
    uint16_t tag = 0;
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    int bits = 0;
    uint64_t mask = 0;
};

std::optional<Format> parseFormat(const uint8_t* body, size_t size)
{
    if (size < 16)
        return std::nullopt;
    Format f;
    f.tag = le16(body);
    f.channels = le16(body + 2);
    const uint32_t rate = le32(body + 4);
    f.blockAlign = le16(body + 12);
    f.bits = le16(body + 14);
    if (f.tag == kFormatExtensible) {
        if (size < 40 || le16(body + 16) < 22)
            return std::nullopt;
        // Samples padded inside their containers are left to the general decoder.
        if (le16(body + 18) != f.bits)
            return std::nullopt;
        f.mask = le32(body + 20);
        if (!std::equal(kGuidTail.begin(), kGuidTail.end(), body + 26))
            return std::nullopt;
        f.tag = le16(body + 24);
    }
    if (f.tag != kFormatPcm && f.tag != kFormatFloat)
        return std::nullopt;
    if (rate < kMinRate || rate > kMaxRate || f.channels < 1 || f.channels > kMaxChannels)
        return std::nullopt;
    f.rate = static_cast<int>(rate);
    const bool usable = f.tag == kFormatFloat ? f.bits == 32 : (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    if (!usable || f.blockAlign != f.channels * f.bits / 8)
        return std::nullopt;
    if (f.mask != 0 && __builtin_popcountll(f.mask) != f.channels)
        f.mask = 0; // a mask that does not name every channel says nothing
    return f;
}

} // namespace

std::optional<WavLayout> readWavLayout(const ReadAt& read, int64_t fileSize)
{
    std::array<uint8_t, 12> riff{};
    if (fileSize < 12 || read(0, riff.data(), riff.size()) != riff.size())
        return std::nullopt;
    if (std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;

    // The RIFF size is often wrong; the file's own size bounds the walk.
    std::optional<Format> format;
    int64_t dataOffset = -1;
    uint32_t dataSize = 0;
    int64_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks && at + 8 <= fileSize; ++chunk) {
        std::array<uint8_t, 8> head{};
        if (read(at, head.data(), head.size()) != head.size())
            break;
        const uint32_t size = le32(head.data() + 4);
        const int64_t body = at + 8;
        if (std::memcmp(head.data(), "fmt ", 4) == 0 && !format) {
            std::array<uint8_t, 40> bytes{};
            const size_t want = static_cast<size_t>(std::min<int64_t>({size, int64_t{40}, fileSize - body}));
            if (read(body, bytes.data(), want) != want)
                return std::nullopt;
            format = parseFormat(bytes.data(), want);
            if (!format)
                return std::nullopt;
        } else if (std::memcmp(head.data(), "data", 4) == 0) {
            dataOffset = body;
            dataSize = size;
            break; // what follows the samples does not matter
        }
        // Chunks are padded to an even length.
        at = body + static_cast<int64_t>(size) + (size & 1u);
    }
    if (!format || dataOffset < 0)
        return std::nullopt;

    WavLayout layout;
    layout.encoding = format->tag == kFormatFloat ? WavLayout::Encoding::Float : WavLayout::Encoding::Int;
    layout.bits = format->bits;
    layout.channels = format->channels;
    layout.rate = format->rate;
    layout.blockAlign = format->blockAlign;
    layout.channelMask = format->mask;
    layout.dataOffset = dataOffset;
    const int64_t present = fileSize - dataOffset;
    int64_t bytes = present;
    if (dataSize != kUnknownSize) {
        layout.truncated = dataSize > present;
        bytes = std::min<int64_t>(dataSize, present);
    }
    layout.frames = bytes / layout.blockAlign;
    return layout;
}

} // namespace kb::mci::wave
