#include "platform/audio/AudioSink.h"
#include "platform/audio/PacedClock.h"

namespace kb::audio {

namespace {

// Discards the sound, keeping real time times the speed.
class NullSink final : public AudioSink {
public:
    NullSink(double speed, size_t periodFrames) : clock_(kOutputRate, speed), period_(periodFrames) {}

    std::string name() const override { return "null"; }
    int64_t latencyFrames() const override { return static_cast<int64_t>(period_); }
    double framesPerSecond() const override { return clock_.framesPerSecond(); }
    bool write(const int16_t*, size_t frames) override { return clock_.waitForRoom(frames); }
    void drop() override { clock_.drop(); }
    void idle() override { clock_.restart(); }
    bool waitsForData() const override { return true; }

private:
    PacedClock clock_;
    size_t period_;
};

} // namespace

std::unique_ptr<AudioSink> makeNullSink(double speed, size_t periodFrames)
{
    return std::make_unique<NullSink>(speed, periodFrames);
}

} // namespace kb::audio
