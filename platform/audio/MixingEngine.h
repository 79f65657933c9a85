#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/audio/AudioSink.h"
#include "platform/audio/MixStream.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kb::audio {

// The engine: one mixer thread that pulls a period from every playing stream, applies
// the stream's line level, sums with saturation and hands the block to the sink.
class MixingEngine final : public AudioEngine {
public:
    static constexpr size_t kPeriodFrames = 1024;
    static constexpr size_t kStreamCapacityFrames = 8 * kPeriodFrames;

    explicit MixingEngine(std::unique_ptr<AudioSink> sink);
    ~MixingEngine() override;

    std::shared_ptr<AudioStream> openStream(Line line) override;
    OutputLevels& levels() override { return levels_; }
    std::string sinkName() const override { return sink_->name(); }
    int64_t latencyFrames() const override { return sink_->latencyFrames(); }

private:
    void run();
    std::vector<std::shared_ptr<MixStream>> liveStreams();
    bool anyAudible(const std::vector<std::shared_ptr<MixStream>>& streams) const;
    void mixPeriod(const std::vector<std::shared_ptr<MixStream>>& streams);

    std::unique_ptr<AudioSink> sink_;
    OutputLevels levels_;
    std::shared_ptr<MixerWakeup> wakeup_ = std::make_shared<MixerWakeup>();
    std::mutex streamsMutex_;
    std::vector<std::weak_ptr<MixStream>> streams_;
    std::atomic<bool> quit_{false};
    std::vector<int32_t> accumulator_;
    std::vector<int16_t> scratch_;
    std::vector<int16_t> block_;
    std::thread thread_;
};

} // namespace kb::audio
