#pragma once

#include "platform/mci/waveaudio/FfmpegHandles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kb::mci::wave {

// What a sound file holds, in its own samples (one sample = one frame of all channels).
struct AudioInfo {
    int rate = 0;
    int channels = 0;
    int blockAlign = 0; // bytes per sample of the source; decoded 16-bit PCM for compressed files
    int64_t samples = 0;
};

class PcmWavFile;

// A WAV or MP3 file decoded to the output format (S16 stereo at the output rate) from any
// sample position. Positions count the samples a listener hears: an MP3's encoder delay
// and padding are not part of them. Plain PCM WAV files are read directly, everything else
// through FFmpeg. Used by one thread at a time.
class AudioFile {
public:
    enum class Step { Data, End, Error };

    AudioFile();
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // 0 or an MCI error number (file not found, unreadable, not a playable sound).
    // `direct` false sends even plain PCM through FFmpeg.
    uint32_t open(const std::string& path, bool direct = true);
    const AudioInfo& info() const { return info_; }

    // Decoding continues from `sample` (0..samples); false when the file cannot seek there.
    bool seek(int64_t sample);
    // Appends the next piece of output (interleaved stereo) up to source sample `end`
    // (exclusive). End once everything before `end` has been delivered.
    Step next(int64_t end, std::vector<int16_t>& out);

private:
    struct PacketSpan {
        int64_t pos;
        int64_t raw; // first sample of the packet, counting encoder delay
    };

    uint32_t probe(const std::string& path);
    bool scanPackets();
    bool resetResampler();
    int64_t frameStart(const AVFrame& frame) const;
    void convert(const AVFrame& frame, int skip, int count, std::vector<int16_t>& out);
    void drainResampler(std::vector<int16_t>& out);
    Step receive(int64_t end, std::vector<int16_t>& out);

    std::unique_ptr<PcmWavFile> pcm_;
    InputPtr input_;
    CodecPtr codec_;
    SwrPtr swr_;
    int swrFormat_ = -1; // the input the resampler was set up for
    int swrChannels_ = 0;
    FramePtr frame_;
    PacketPtr packet_;
    int streamIndex_ = -1;
    AudioInfo info_;
    // Sample-stamped files (PCM) use timestamps; others a table of every packet, so that
    // seeks and positions are exact whatever the container's timestamps say.
    bool useTable_ = false;
    std::vector<PacketSpan> table_;
    int64_t startSkip_ = 0;
    int64_t startTs_ = 0;
    int64_t nextRaw_ = 0;
    int64_t target_ = 0;
    bool inputDone_ = false;
    bool finished_ = false;
};

} // namespace kb::mci::wave
