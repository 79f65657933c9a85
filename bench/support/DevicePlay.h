#pragma once

// Whole plays of one device on a null sink, timed in process CPU time against a reference
// loop that does the same work with the library alone.

#include "bench/support/CpuTime.h"
#include "platform/audio/AudioEngine.h"
#include "platform/mci/MciDevice.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace kbbench {

// Lets the benchmark thread wait for the end of the play it started.
class PlayEnded final : public kb::mci::DeviceEvents {
public:
    void playEnded(uint64_t, kb::mci::PlayEnd) override
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return done_; });
        done_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
};

// A device of one type on a null sink running far faster than real time, so that a play
// costs its CPU time and next to no waiting.
struct FastPlayer {
    explicit FastPlayer(const kb::mci::DeviceType& type)
    {
        kb::audio::SinkChoice choice;
        kb::audio::SinkChoice::parse("null,speed=2000", choice);
        engine = kb::audio::AudioEngine::create(choice);
        kb::mci::DeviceContext context;
        context.audio = engine.get();
        context.events = &ended;
        device = type.create(context);
    }

    uint32_t open(const std::string& path)
    {
        kb::mci::OpenRequest request;
        request.element = path;
        return device->open(request);
    }

    // Plays the open file from its start to its end once an iteration. Reports the CPU time
    // of one play, `reference` (the CPU seconds of the reference loop over the same file)
    // under `referenceCounter`, and the one over the other under `ratioCounter`.
    void timePlays(benchmark::State& state, double reference, const std::string& referenceCounter,
                   const std::string& ratioCounter)
    {
        double cpu = 0;
        uint64_t id = 0;
        for (auto _ : state) {
            const double start = processCpuSeconds();
            device->play(kb::mci::PlayRequest{0, std::nullopt}, ++id);
            ended.wait();
            cpu += processCpuSeconds() - start;
        }
        const double perPlay = cpu / static_cast<double>(state.iterations());
        state.counters["cpu_ms_per_minute"] = perPlay * 1000;
        state.counters[referenceCounter] = reference * 1000;
        state.counters[ratioCounter] = perPlay / reference;
    }

    // Declared in this order so that the device goes first, then what it reports to.
    std::unique_ptr<kb::audio::AudioEngine> engine;
    PlayEnded ended;
    std::unique_ptr<kb::mci::Device> device;
};

} // namespace kbbench
