#include "platform/audio/SinkModule.h"

#include <SDL.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

namespace kb::audio {

namespace {

// Plays through an SDL audio device. SDL pulls from a one-period ring that the mixer fills;
// the ring plus one device buffer is what the listener has not heard yet.
class SdlSink final : public AudioSink {
public:
    explicit SdlSink(size_t periodFrames) : ring_(periodFrames * kOutputChannels) {}

    ~SdlSink() override
    {
        if (device_ != 0) {
            {
                std::lock_guard lock(mutex_);
                closing_ = true;
            }
            room_.notify_all();
            SDL_CloseAudioDevice(device_);
        }
        if (initialised_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        // SDL's own state (hints, error texts) lives until SDL_Quit; this module is SDL's only
        // user, and it may be unloaded after the sink is gone.
        if (SDL_WasInit(0) == 0)
            SDL_Quit();
    }

    bool open(size_t periodFrames)
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        initialised_ = true;
        SDL_AudioSpec want{};
        want.freq = kOutputRate;
        want.format = AUDIO_S16SYS;
        want.channels = kOutputChannels;
        want.samples = static_cast<Uint16>(periodFrames);
        want.callback = &SdlSink::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0)
            return false;
        deviceFrames_ = have.samples;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    std::string name() const override { return "sdl"; }
    int64_t latencyFrames() const override
    {
        return static_cast<int64_t>(ring_.size() / kOutputChannels) + deviceFrames_;
    }

    bool write(const int16_t* interleaved, size_t frames) override
    {
        size_t samples = frames * kOutputChannels;
        std::unique_lock lock(mutex_);
        while (samples > 0) {
            room_.wait(lock, [&] { return closing_ || drop_ || filled_ < ring_.size(); });
            if (closing_)
                return true;
            if (std::exchange(drop_, false)) {
                filled_ = 0;
                return false;
            }
            const size_t n = std::min(samples, ring_.size() - filled_);
            for (size_t i = 0; i < n; ++i)
                ring_[(head_ + filled_ + i) % ring_.size()] = interleaved[i];
            filled_ += n;
            interleaved += n;
            samples -= n;
        }
        return true;
    }

    void drop() override
    {
        {
            std::lock_guard lock(mutex_);
            filled_ = 0;
            drop_ = true;
        }
        room_.notify_all();
    }

private:
    static void callback(void* self, Uint8* stream, int bytes)
    {
        static_cast<SdlSink*>(self)->fill(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(bytes) / 2);
    }

    void fill(int16_t* out, size_t samples)
    {
        {
            std::lock_guard lock(mutex_);
            const size_t n = std::min(samples, filled_);
            for (size_t i = 0; i < n; ++i)
                out[i] = ring_[(head_ + i) % ring_.size()];
            head_ = (head_ + n) % ring_.size();
            filled_ -= n;
            std::memset(out + n, 0, (samples - n) * sizeof(int16_t));
        }
        room_.notify_all();
    }

    std::vector<int16_t> ring_;
    size_t head_ = 0;
    size_t filled_ = 0;
    bool closing_ = false;
    bool drop_ = false;
    std::mutex mutex_;
    std::condition_variable room_;
    SDL_AudioDeviceID device_ = 0;
    int64_t deviceFrames_ = 0;
    bool initialised_ = false;
};

std::unique_ptr<AudioSink> openSdlSink(size_t periodFrames)
{
    auto sink = std::make_unique<SdlSink>(periodFrames);
    if (!sink->open(periodFrames))
        return nullptr;
    return sink;
}

} // namespace
} // namespace kb::audio

KB_AUDIO_SINK_MODULE(kb::audio::openSdlSink)
