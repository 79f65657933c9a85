#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace kb::audio {

// A 16-bit PCM WAV file whose header always describes the data written so far, so the
// file can be read while it grows.
class WavWriter {
public:
    // False when the file cannot be created.
    bool open(const std::string& path, int rate, int channels);
    void append(const int16_t* interleaved, size_t frames);
    int64_t framesWritten() const { return frames_; }

private:
    void writeHeader();

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    int rate_ = 0;
    int channels_ = 0;
    int64_t frames_ = 0;
};

} // namespace kb::audio
