#pragma once

#include "platform/mci/waveaudio/AudioSource.h"
#include "platform/mci/wavedecode/FfmpegHandles.h"

#include <memory>
#include <vector>

namespace kb::mci::wave {

// PcmResampler over libswresample, set up as for a decoder's output of the same format.
class FfmpegResampler final : public PcmResampler {
public:
    // nullptr when libswresample cannot convert `format`.
    static std::unique_ptr<FfmpegResampler> make(const PcmFormat& format);

    void convert(const uint8_t* in, int frames, std::vector<int16_t>& out) override;
    void drain(std::vector<int16_t>& out) override;

private:
    FfmpegResampler(SwrPtr swr, int outChannels) : swr_(std::move(swr)), outChannels_(outChannels) {}
    void append(int got, std::vector<int16_t>& out) const;

    SwrPtr swr_;
    int outChannels_;
    std::vector<int16_t> buffer_;
};

} // namespace kb::mci::wave
