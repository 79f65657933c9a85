#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace kb::mci::wave {

// The layout of a plain PCM RIFF/WAVE file, as far as this reader plays it itself.
struct WavLayout {
    enum class Encoding { Int, Float };
    Encoding encoding = Encoding::Int;
    int bits = 0;        // 8 (unsigned), 16, 24, 32; 32 for float
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    uint64_t channelMask = 0; // speaker positions of an extensible header; 0: none given
    int64_t dataOffset = 0;
    int64_t frames = 0;       // whole frames present in the file
    bool truncated = false;   // the data chunk claims more than the file holds
};

// Reads `size` bytes at `offset`; returns how many it could.
using ReadAt = std::function<size_t(int64_t offset, void* out, size_t size)>;

// Walks the chunks of a file of `fileSize` bytes. Empty when it is not a RIFF/WAVE file of
// integer or 32-bit float PCM that the reader plays as is (compressed, 64-bit float, odd
// block sizes, padded samples...): those go to the general decoder.
std::optional<WavLayout> readWavLayout(const ReadAt& read, int64_t fileSize);

} // namespace kb::mci::wave
