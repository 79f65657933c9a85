#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace kbtest {

// The samples of a 16-bit PCM WAV file with a plain 44-byte header (what the capture
// sink writes). Empty when the file is missing or not of that shape.
struct Wav16 {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
    size_t frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
};

inline Wav16 readWav16(const std::string& path)
{
    Wav16 wav;
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 44)
        return wav;
    auto le = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        return v;
    };
    wav.channels = static_cast<int>(le(22, 2));
    wav.rate = static_cast<int>(le(24, 4));
    const size_t dataBytes = std::min<size_t>(le(40, 4), bytes.size() - 44);
    wav.samples.resize(dataBytes / 2);
    for (size_t i = 0; i < wav.samples.size(); ++i)
        wav.samples[i] = static_cast<int16_t>(le(44 + 2 * i, 2));
    return wav;
}

} // namespace kbtest
