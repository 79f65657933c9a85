#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kb::cdrom {

// Decodes an audio file (WAV, FLAC, ...) with FFmpeg to 44.1 kHz S16 stereo, with reads
// at any sample position. Sequential reads continue the decoder; other positions seek and
// decode up to the exact sample.
class AudioFileReader {
public:
    ~AudioFileReader();

    static std::unique_ptr<AudioFileReader> open(const std::string& path, std::string& error);

    // Length in sample frames at 44.1 kHz.
    int64_t sampleCount() const { return samples_; }

    // Reads up to `count` sample frames from `position` into `out` (interleaved stereo).
    // Returns how many were read (fewer at the end of the file), -1 on a decoding error.
    int64_t read(int64_t position, int64_t count, int16_t* out);

private:
    struct Impl;
    explicit AudioFileReader(std::unique_ptr<Impl> impl);
    bool seekTo(int64_t position);
    bool decodeMore(); // appends to pending_; false at the end or on error

    std::unique_ptr<Impl> impl_;
    int64_t samples_ = 0;
    std::vector<int16_t> pending_; // decoded samples not yet read
    int64_t pendingStart_ = 0;     // sample position of pending_[0]
    bool atEnd_ = false;
};

} // namespace kb::cdrom
