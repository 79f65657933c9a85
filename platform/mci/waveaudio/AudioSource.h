#pragma once

#include <cstdint>
#include <vector>

namespace kb::mci::wave {

// What a sound file holds, in its own samples (one sample = one frame of all channels).
struct AudioInfo {
    int rate = 0;
    int channels = 0;
    int blockAlign = 0; // bytes per sample of the source; decoded 16-bit PCM for compressed files
    int64_t samples = 0;
};

enum class Step { Data, End, Error };

// An open sound file delivering the output format (S16 stereo at the output rate) from any
// sample position. Used by one thread at a time.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual const AudioInfo& info() const = 0;
    // Decoding continues from `sample` (0..samples); false when the file cannot seek there.
    virtual bool seek(int64_t sample) = 0;
    // Appends the next piece of output (interleaved stereo) up to source sample `end`
    // (exclusive). End once everything before `end` has been delivered.
    virtual Step next(int64_t end, std::vector<int16_t>& out) = 0;
};

// Interleaved PCM samples as a WAV file stores them, 24-bit ones widened to the top of 32.
struct PcmFormat {
    enum class Sample { U8, S16, S32, Float };
    Sample sample = Sample::S16;
    int rate = 0;
    int channels = 0;
    uint64_t channelMask = 0; // 0: the usual layout for the channel count
};

// Converts PCM to the output rate, down-mixing more than two channels, exactly as decoded
// files are converted.
class PcmResampler {
public:
    virtual ~PcmResampler() = default;

    // Appends the output (interleaved stereo) of `frames` input frames.
    virtual void convert(const uint8_t* in, int frames, std::vector<int16_t>& out) = 0;
    // Appends what the resampler still holds, at the end of the input.
    virtual void drain(std::vector<int16_t>& out) = 0;
};

} // namespace kb::mci::wave
