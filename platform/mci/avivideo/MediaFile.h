#pragma once

#include "platform/mci/avivideo/FfmpegHandles.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace kb::mci::avi {

// A decoded picture and when it is due, in milliseconds from the start of the media.
struct VideoFrame {
    FramePtr frame;
    double ms = 0;
};

// Sound converted to the output format (S16 stereo at the output rate).
struct AudioChunk {
    std::vector<int16_t> samples; // interleaved
    double ms = 0;
};

// One media file: demuxing and decoding of its first video and first audio stream. Times
// are relative to each stream's own start. Used by one thread at a time.
class MediaFile {
public:
    enum class OpenResult { Ok, NotFound, Invalid };

    OpenResult open(const std::string& path, int outputRate);

    bool hasVideo() const { return video_ != nullptr; }
    bool hasAudio() const { return audio_ != nullptr; }
    int64_t lengthMs() const { return lengthMs_; }
    // Frame rate as a fraction (1000/1 for a file without pictures).
    int fpsNum() const { return fpsNum_; }
    int fpsDen() const { return fpsDen_; }
    int width() const { return video_ ? video_->width : 0; }
    int height() const { return video_ ? video_->height : 0; }
    // Width of the picture as shown, from the sample aspect ratio.
    int displayWidth() const;

    // Positions the demuxer early enough to decode from `ms` on (keyframes of program
    // streams lie after the requested time) and drops decoder state.
    void seek(int64_t ms);

    // Reads and decodes one packet, appending what it gave; false at the end of the file
    // (the decoders have then been drained).
    bool step(std::deque<VideoFrame>& video, std::deque<AudioChunk>& audio);

private:
    void receiveVideo(std::deque<VideoFrame>& out);
    void receiveAudio(std::deque<AudioChunk>& out);
    void releasePending(std::deque<VideoFrame>& out);
    double msOf(int64_t pts, const AVStream* s) const;
    int64_t probeLength();
    bool setUpResampler(const AVChannelLayout& layout, int format, int rate);

    InputPtr input_;
    CodecPtr video_;
    CodecPtr audio_;
    SwrPtr swr_;
    int swrFormat_ = -1; // what the resampler was set up for
    int swrRate_ = 0;
    int swrChannels_ = 0;
    PacketPtr packet_;
    FramePtr scratch_;
    int videoIndex_ = -1;
    int audioIndex_ = -1;
    int rate_ = 44100;
    int64_t lengthMs_ = 0;
    int fpsNum_ = 1000;
    int fpsDen_ = 1;
    bool drained_ = false;
    struct Vote { double origin; int count; };
    static constexpr int kVotes = 5;
    static constexpr size_t kMaxPending = 16;
    double lastVideoMs_ = -1;            // time of the last picture handed out; -1: no anchor
    std::deque<VideoFrame> pending_;      // decoded before the anchor, ms counted from 0
    double pendingMs_ = 0;
    int beforeKey_ = 0;
    std::vector<Vote> votes_;
    double fallbackOrigin_ = 0;           // for streams without any presentation time
    bool fallbackSet_ = false;
    bool timesAreDts_ = false;
};

} // namespace kb::mci::avi
