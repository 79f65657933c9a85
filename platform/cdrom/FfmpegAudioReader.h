#pragma once

#include "platform/cdrom/AudioFileReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kb::cdrom {

// The FFmpeg decoder behind AudioFileReader, built as a module of its own. Sequential reads
// continue the decoder; other positions seek and decode up to the exact sample.
class FfmpegAudioReader final : public AudioFileReader {
public:
    ~FfmpegAudioReader() override;

    static std::unique_ptr<AudioFileReader> open(const std::string& path, std::string& error);

    int64_t sampleCount() const override { return samples_; }
    int64_t read(int64_t position, int64_t count, int16_t* out) override;

private:
    struct Impl;
    explicit FfmpegAudioReader(std::unique_ptr<Impl> impl);
    bool seekTo(int64_t position);
    bool decodeMore(); // appends to pending_; false at the end or on error

    std::unique_ptr<Impl> impl_;
    int64_t samples_ = 0;
    std::vector<int16_t> pending_; // decoded samples not yet read
    int64_t pendingStart_ = 0;     // sample position of pending_[0]
    bool atEnd_ = false;
};

} // namespace kb::cdrom
