#pragma once

#include "platform/mci/waveaudio/AudioSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kb::mci::wave {

// A WAV or MP3 file decoded to the output format (S16 stereo at the output rate) from any
// sample position. Positions count the samples a listener hears: an MP3's encoder delay
// and padding are not part of them. Plain PCM WAV files are read directly, everything else
// through the decoder module (WaveDecoder.h), loaded only then. Used by one thread at a time.
class AudioFile {
public:
    using Step = wave::Step;

    AudioFile();
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // 0 or an MCI error number (file not found, unreadable, not a playable sound, no
    // decoder module for a file that needs it). `direct` false sends even plain PCM
    // through the general decoder.
    uint32_t open(const std::string& path, bool direct = true);
    const AudioInfo& info() const { return info_; }

    // Decoding continues from `sample` (0..samples); false when the file cannot seek there.
    bool seek(int64_t sample);
    // Appends the next piece of output (interleaved stereo) up to source sample `end`
    // (exclusive). End once everything before `end` has been delivered.
    Step next(int64_t end, std::vector<int16_t>& out);

private:
    std::unique_ptr<AudioSource> source_;
    AudioInfo info_;
};

} // namespace kb::mci::wave
