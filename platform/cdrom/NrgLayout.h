#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kb::cdrom {

// Where one track of a Nero image lies in the image file.
struct NrgTrack {
    bool audio = true;
    int sectorSize = 2352;   // bytes per sector in the file (2048, 2336, 2352 or 2448)
    int64_t pregapOffset = 0; // first byte of the pregap (INDEX 00); == dataOffset when none
    int64_t dataOffset = 0;   // first byte of INDEX 01
    int64_t endOffset = 0;    // one past the track's last byte
    int gapFrames = 0;        // silence before the track that the file does not hold
};

struct NrgLayout {
    std::vector<NrgTrack> tracks; // track 1 first
};

// The chunk chain of a Nero image: it lies between the image data and the footer (the
// file's last 8 or 12 bytes, read into `footer`, which holds at least the last 12 bytes).
struct NrgChainPlace {
    int64_t start = 0; // first byte of the chain
    int64_t end = 0;   // one past its last byte (where the footer begins)
};
// False when the file does not end in a Nero footer, or the footer points outside the file.
bool nrgChainPlace(std::span<const uint8_t> footer, int64_t fileSize, NrgChainPlace& place, std::string& error);

// Largest chunk chain read: real images keep theirs within a few kilobytes.
constexpr int64_t kMaxNrgChainBytes = 1 << 20;

// Reads the track layout from the chunk chain (the file's bytes of `place`). Every size and
// offset is checked against the chain and against the image data before it; anything that
// does not add up is refused with a reason.
bool parseNrgChain(std::span<const uint8_t> chain, const NrgChainPlace& place, NrgLayout& out, std::string& error);

} // namespace kb::cdrom
