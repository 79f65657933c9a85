#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/audio/AudioSink.h"
#include "platform/audio/MixStream.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kb::audio {

// The engine: one mixer thread that takes a period from every playing stream, applies
// the stream's line level, sums with saturation and hands the block to the sink.
class MixingEngine final : public AudioEngine {
public:
    // 4096 frames (93 ms) per period: the position read-out is polled five times a second
    // and shows whole seconds, so a period well under a poll interval keeps it exact while
    // the mixer wakes about eleven times a second.
    static constexpr size_t kPeriodFrames = 4096;
    static constexpr size_t kStreamCapacityFrames = 8 * kPeriodFrames;
    static constexpr std::chrono::milliseconds kLateWriterWait{500};

    explicit MixingEngine(std::unique_ptr<AudioSink> sink);
    ~MixingEngine() override;

    std::shared_ptr<AudioStream> openStream(Line line) override;
    OutputLevels& levels() override { return levels_; }
    std::string sinkName() const override { return sink_->name(); }
    int64_t latencyFrames() const override { return sink_->latencyFrames(); }

private:
    void run();
    void refreshStreams();
    bool anyAudible() const;
    void mixPeriod();

    std::shared_ptr<AudioSink> sink_;
    OutputLevels levels_;
    std::shared_ptr<MixerWakeup> wakeup_ = std::make_shared<MixerWakeup>();
    std::mutex streamsMutex_;
    std::vector<std::weak_ptr<MixStream>> streams_;
    std::atomic<uint64_t> streamsVersion_{0};
    std::atomic<bool> quit_{false};
    // The mixer thread's own state.
    std::vector<std::shared_ptr<MixStream>> mixing_;
    uint64_t mixingVersion_ = 0;
    std::vector<MixStream::Pull> pulls_;
    std::vector<int32_t> accumulator_;
    std::vector<int16_t> scratch_;
    std::vector<int16_t> block_;
    std::thread thread_;
};

} // namespace kb::audio
