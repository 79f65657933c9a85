#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kb::cdrom {

// Decodes an audio file (WAV, FLAC, ...) to 44.1 kHz S16 stereo, with reads at any sample
// position. The decoder (FFmpeg) is a module loaded on the first open, so that only discs
// whose sheet names audio files bring it into the program.
class AudioFileReader {
public:
    virtual ~AudioFileReader() = default;

    // nullptr with the reason in `error` when the file cannot be decoded or the decoder
    // module cannot be loaded.
    static std::unique_ptr<AudioFileReader> open(const std::string& path, std::string& error);

    // Length in sample frames at 44.1 kHz.
    virtual int64_t sampleCount() const = 0;

    // Reads up to `count` sample frames from `position` into `out` (interleaved stereo).
    // Returns how many were read (fewer at the end of the file), -1 on a decoding error.
    virtual int64_t read(int64_t position, int64_t count, int16_t* out) = 0;
};

// What the decoder module exports, checked against kDriverAbiVersion before use.
struct AudioFileEntry {
    uint32_t abiVersion;
    // Returns an object the caller owns, or nullptr with `error` set.
    AudioFileReader* (*open)(const std::string& path, std::string& error);
};
inline constexpr const char* kAudioFileEntrySymbol = "kbAudioFileEntry";

} // namespace kb::cdrom
