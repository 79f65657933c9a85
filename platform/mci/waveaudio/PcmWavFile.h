#pragma once

#include "platform/mci/waveaudio/AudioSource.h"
#include "platform/mci/waveaudio/WavHeader.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace kb::mci::wave {

// A plain PCM WAV file read without a demuxer or decoder: samples are converted to the
// output format directly, and 44.1 kHz 16-bit stereo is copied as it is. Other rates and
// more than two channels go through the same resampler and down-mix as decoded files, so
// every file sounds the same whichever way it was read; that resampler comes with the
// decoder module, which 44.1 kHz mono and stereo files never load. Used by one thread at
// a time.
class PcmWavFile final : public AudioSource {
public:
    enum class Opened { Yes, NotPlainPcm, Damaged };

    // NotPlainPcm too when the file needs the resampler and the decoder module is missing.
    Opened open(const std::string& path);
    const AudioInfo& info() const override { return info_; }

    bool seek(int64_t sample) override;
    Step next(int64_t end, std::vector<int16_t>& out) override;

private:
    bool resetResampler();
    void convertDirect(const uint8_t* raw, size_t frames, std::vector<int16_t>& out) const;
    void convertResampled(const uint8_t* raw, size_t frames, std::vector<int16_t>& out);

    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    WavLayout layout_;
    AudioInfo info_;
    std::unique_ptr<PcmResampler> resampler_; // only when the rate or channel count needs it
    std::vector<uint8_t> raw_;
    std::vector<uint8_t> widened_; // 24-bit samples as the decoder would hand them over
    int64_t pos_ = 0;
    bool finished_ = false;
};

} // namespace kb::mci::wave
