#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/mci/MciDevice.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "tests/support/EndRecorder.h"

#include <memory>
#include <string>
#include <thread>

namespace kbtest {

// An audio engine (capture or null sink) and one waveaudio device on it.
struct DeviceHarness {
    explicit DeviceHarness(const std::string& sink)
    {
        kb::audio::SinkChoice choice;
        kb::audio::SinkChoice::parse(sink, choice);
        engine = kb::audio::AudioEngine::create(choice);
        kb::mci::DeviceContext context;
        context.audio = engine.get();
        context.events = &events;
        device = kb::mci::waveAudioDeviceType().create(context);
    }
    ~DeviceHarness()
    {
        device.reset();
        engine.reset();
    }

    std::string status(kb::mci::StatusItem item, std::optional<uint32_t> track = std::nullopt)
    {
        std::string reply;
        kb::mci::StatusRequest request;
        request.item = item;
        request.track = track;
        const uint32_t code = device->status(request, reply);
        return code == 0 ? reply : "Error:" + std::to_string(code);
    }
    int64_t number(kb::mci::StatusItem item) { return std::stoll(status(item)); }
    uint32_t open(const std::string& path)
    {
        kb::mci::OpenRequest request;
        request.element = path;
        return device->open(request);
    }
    uint32_t setFormat(kb::mci::TimeFormat f)
    {
        kb::mci::SetRequest request;
        request.timeFormat = f;
        return device->set(request);
    }
    uint32_t play(std::optional<uint32_t> from, std::optional<uint32_t> to, uint64_t id)
    {
        kb::mci::PlayRequest request;
        request.from = from;
        request.to = to;
        return device->play(request, id);
    }
    uint32_t seekTo(uint32_t to)
    {
        kb::mci::SeekRequest request;
        request.to = to;
        return device->seek(request);
    }

    EndRecorder events;
    std::unique_ptr<kb::audio::AudioEngine> engine;
    std::unique_ptr<kb::mci::Device> device;
};

} // namespace kbtest
