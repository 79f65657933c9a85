#pragma once

#include "platform/mci/MciDevice.h"
#include "platform/mci/avivideo/MediaFile.h"
#include "platform/mci/avivideo/PictureSlot.h"
#include "platform/mci/avivideo/VideoOutput.h"

#include <QSize>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace kb::audio {
class AudioStream;
}

namespace kb::mci::avi {

// Plays one opened media file: a decoding thread feeds the sound stream and leaves pictures
// in the output's slot shortly before the clock reaches them; the output shows each on time.
// The clock is the sound heard so far, or a steady clock for files without sound. Positions
// are milliseconds from the start.
// Command methods are called from one (the UI) thread and return at once.
class VideoPlayback {
public:
    VideoPlayback(std::unique_ptr<MediaFile> media, std::shared_ptr<audio::AudioStream> stream,
                  VideoOutput* output, DeviceEvents* events);
    ~VideoPlayback();

    int64_t lengthMs() const { return length_; }
    int64_t positionMs();
    std::string modeName();

    uint32_t play(std::optional<int64_t> from, std::optional<int64_t> to, uint64_t playId);
    uint32_t stop();
    uint32_t pause();
    uint32_t resume();
    uint32_t seek(int64_t ms);
    void setArea(QSize area);

private:
    enum class Mode { Stopped, Playing, Paused };
    struct Ended { std::optional<uint64_t> id; PlayEnd how = PlayEnd::Stopped; };
    struct Work; // the decoding thread's own state

    double clockLocked() const;
    VideoOutput::Clock outputClock();
    void wakeOutput();
    void restartLocked(int64_t from, Mode mode, Ended& ended);
    void finishLocked(Ended& ended);
    void notify(const Ended& ended);
    void run();
    bool feedAudio(Work& w);
    bool presentDue(Work& w, std::unique_lock<std::mutex>& lock);
    void present(FramePtr frame, QSize area, double ms, uint64_t generation);

    std::unique_ptr<MediaFile> media_;
    std::shared_ptr<audio::AudioStream> stream_;
    VideoOutput* output_;
    std::shared_ptr<PictureSlot> slot_;
    DeviceEvents* events_;
    const int64_t length_;
    const double frameMs_;

    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    Mode mode_ = Mode::Stopped;
    int64_t base_ = 0;      // where the running clock started
    int64_t end_ = 0;       // where the current play stops
    int64_t heldAt_ = 0;    // the position while stopped or paused
    std::chrono::steady_clock::time_point startedAt_;
    uint64_t generation_ = 1; // bumped when the decoder must start again at base_
    bool endQueued_ = false;
    bool decodedToEnd_ = false;
    std::optional<uint64_t> playId_;
    QSize area_;
    std::thread worker_;
};

} // namespace kb::mci::avi
