#include "platform/audio/AudioSink.h"
#include "platform/audio/PacedClock.h"
#include "platform/audio/WavWriter.h"

namespace kb::audio {

namespace {

// Writes what the listener would hear into a WAV file, paced like the null sink. The
// mixer only writes while a stream plays, so pauses and idle time are not recorded.
class CaptureSink final : public AudioSink {
public:
    CaptureSink(double speed, size_t periodFrames) : clock_(kOutputRate, speed), period_(periodFrames) {}

    bool open(const std::string& path) { return wav_.open(path, kOutputRate, kOutputChannels); }

    std::string name() const override { return "capture"; }
    int64_t latencyFrames() const override { return static_cast<int64_t>(period_); }
    double framesPerSecond() const override { return clock_.framesPerSecond(); }
    // The block is recorded once its time has come, so a dropped block never reaches the file.
    bool write(const int16_t* interleaved, size_t frames) override
    {
        if (!clock_.waitForRoom(frames))
            return false;
        wav_.append(interleaved, frames);
        return true;
    }
    void drop() override { clock_.drop(); }
    void idle() override { clock_.restart(); }
    bool waitsForData() const override { return true; }

private:
    PacedClock clock_;
    size_t period_;
    WavWriter wav_;
};

} // namespace

std::unique_ptr<AudioSink> makeCaptureSink(const std::string& path, double speed, size_t periodFrames)
{
    auto sink = std::make_unique<CaptureSink>(speed, periodFrames);
    if (!sink->open(path))
        return nullptr;
    return sink;
}

} // namespace kb::audio
