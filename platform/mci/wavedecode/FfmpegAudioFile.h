#pragma once

#include "platform/mci/waveaudio/AudioSource.h"
#include "platform/mci/wavedecode/FfmpegHandles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kb::mci::wave {

// Any sound FFmpeg reads (MP3, ADPCM or float WAV, ...) as an AudioSource. Positions count
// the samples a listener hears: an MP3's encoder delay and padding are not part of them.
class FfmpegAudioFile final : public AudioSource {
public:
    // 0 or an MCI error number (not a playable sound).
    uint32_t open(const std::string& path);

    const AudioInfo& info() const override { return info_; }
    bool seek(int64_t sample) override;
    Step next(int64_t end, std::vector<int16_t>& out) override;

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
    // nullopt when the decoder needs more input before it has anything to give.
    std::optional<Step> receive(int64_t end, std::vector<int16_t>& out);

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
