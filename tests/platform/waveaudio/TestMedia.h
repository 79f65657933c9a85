#pragma once

#include <cstdint>
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

// A PCM WAV of the sine with 8, 16 or 24 bits per sample.
bool writeSineWav(const std::string& path, const Sine& sine, int bits);
// An MP3 of the sine encoded with libavcodec (with the usual gapless header).
bool writeSineMp3(const std::string& path, const Sine& sine, int bitrate = 128000);
// Whether this FFmpeg has an MP3 encoder.
bool haveMp3Encoder();

} // namespace kbtest
