#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/mci/MciDevice.h"
#include "platform/mci/waveaudio/AudioFile.h"
#include "platform/mci/waveaudio/WaveTime.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace kb::mci::wave {

// The "waveaudio" device: plays a WAV or MP3 file through wave output 0. Commands run on
// the caller's thread and only change state; a worker thread decodes into the device's
// audio stream, and the position is read from that stream's clock.
//
// Opened without a file ("open waveaudio"), the device is bare: its mode is "stopped", no
// medium is present, and everything that needs a file answers MCIERR_NONAPPLICABLE_FUNCTION.
class WaveAudioDevice final : public Device {
public:
    explicit WaveAudioDevice(const DeviceContext& context);
    ~WaveAudioDevice() override;

    uint32_t open(const OpenRequest& request) override;
    void close() override;
    uint32_t play(const PlayRequest& request, uint64_t playId) override;
    uint32_t stop() override;
    uint32_t pause() override;
    uint32_t resume() override;
    uint32_t seek(const SeekRequest& request) override;
    uint32_t set(const SetRequest& request) override;
    uint32_t status(const StatusRequest& request, std::string& reply) override;
    uint32_t info(InfoItem item, std::string& reply) override;
    uint32_t capability(CapabilityItem item, std::string& reply) override;

private:
    enum class Mode { Stopped, Playing, Paused };
    struct Job {
        uint64_t generation = 0;
        int64_t from = 0;
        int64_t to = 0;
    };

    bool hasFile() const { return file_ != nullptr; }
    int64_t positionLocked() const;
    std::optional<uint64_t> stopLocked();
    bool toSamples(uint32_t value, int64_t& samples) const;
    void reportEnd(std::optional<uint64_t> playId, PlayEnd how);

    void runWorker();
    void runJob(const Job& job);
    bool feed(const Job& job, const std::vector<int16_t>& pcm);
    void finishJob(const Job& job, PlayEnd how);

    DeviceContext context_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::unique_ptr<AudioFile> file_;
    std::shared_ptr<audio::AudioStream> stream_;
    std::string path_;
    AudioInfo info_;
    WaveTime time_;
    TimeFormat format_ = TimeFormat::Milliseconds;
    Mode mode_ = Mode::Stopped;
    int64_t position_ = 0; // while stopped
    int64_t base_ = 0;     // where the stream's clock started
    int64_t end_ = 0;
    uint64_t generation_ = 0;
    std::optional<Job> pending_;
    std::optional<uint64_t> playId_;
    bool quit_ = false;
    std::thread worker_;
};

} // namespace kb::mci::wave
