#pragma once

// Test sines, and PCM WAV files of them for the tests and benchmarks that play sound files.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <string>

namespace kbtest {

// Describes a test sine: its frequency, amplitude (0..1 of full scale) and length.
struct Sine {
    int rate = 44100;
    int channels = 2;
    int64_t samples = 44100;
    double frequency = 1000.0;
    double amplitude = 0.5;
};

// Sample `i` of the sine, as a fraction of full scale.
inline double sineAt(const Sine& s, int64_t i)
{
    return s.amplitude * std::sin(2 * std::numbers::pi * s.frequency * static_cast<double>(i) / s.rate);
}

// A PCM WAV of the sine with 8, 16 or 24 bits per sample.
inline bool writeSineWav(const std::string& path, const Sine& s, int bits)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        return false;
    const auto putLe = [&out](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    const uint32_t blockAlign = static_cast<uint32_t>(s.channels * bits / 8);
    const uint32_t dataBytes = static_cast<uint32_t>(s.samples) * blockAlign;
    out.write("RIFF", 4);
    putLe(36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    putLe(16, 4);
    putLe(1, 2);
    putLe(static_cast<uint32_t>(s.channels), 2);
    putLe(static_cast<uint32_t>(s.rate), 4);
    putLe(static_cast<uint32_t>(s.rate) * blockAlign, 4);
    putLe(blockAlign, 2);
    putLe(static_cast<uint32_t>(bits), 2);
    out.write("data", 4);
    putLe(dataBytes, 4);
    for (int64_t i = 0; i < s.samples; ++i) {
        const double v = sineAt(s, i);
        for (int c = 0; c < s.channels; ++c) {
            if (bits == 8)
                putLe(static_cast<uint32_t>(std::lround(128 + v * 127)), 1);
            else if (bits == 16)
                putLe(static_cast<uint32_t>(std::lround(v * 32767)), 2);
            else
                putLe(static_cast<uint32_t>(std::lround(v * 8388607)), 3);
        }
    }
    return static_cast<bool>(out);
}

} // namespace kbtest
