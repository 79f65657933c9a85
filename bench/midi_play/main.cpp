// CPU time of playing one minute of MIDI through the sequencer device (parse, chase, render,
// mix, null sink at high speed) against FluidSynth's own player rendering the same file with
// the same SoundFont and settings.
#include "bench/support/DevicePlay.h"
#include "platform/mci/sequencer/MidiRenderer.h"
#include "platform/mci/sequencer/SequencerDevice.h"
#include "tests/platform/sequencer/MidiWriter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fluidsynth.h>

using namespace kb;

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 60;

// A minute at 120 bpm: eight melodic channels changing notes every eighth, and drums.
std::vector<uint8_t> minuteSong()
{
    constexpr uint16_t kTpq = 480;
    constexpr int kSteps = kSeconds * 4; // eighths at 120 bpm
    kbtest::MidiTrack t;
    t.tempo(0, 500000);
    for (uint8_t ch = 0; ch < 8; ++ch)
        t.delta(0).raw({uint8_t(0xC0 | ch), uint8_t(ch * 8)});
    auto note = [](int ch, int step) { return uint8_t(48 + ch * 3 + (step * 5 + ch) % 12); };
    for (int step = 0; step < kSteps; ++step) {
        bool first = true;
        auto at = [&] {
            const uint32_t d = first && step > 0 ? kTpq / 2 : 0;
            first = false;
            return d;
        };
        for (int ch = 0; ch < 8; ++ch) {
            if (step > 0)
                t.delta(at()).raw({uint8_t(0x80 | ch), note(ch, step - 1), 0});
            t.delta(at()).raw({uint8_t(0x90 | ch), note(ch, step), uint8_t(70 + ch * 4)});
        }
        t.delta(at()).raw({0x99, uint8_t(step % 2 ? 42 : 36), 100});
    }
    t.end(kTpq / 2);
    return kbtest::smf(0, kTpq, {t});
}

const std::string& mediaPath()
{
    static QTemporaryDir dir;
    static const std::string path = [] {
        const std::string p = dir.filePath("minute.mid").toStdString();
        kbtest::writeFile(p, minuteSong());
        return p;
    }();
    return path;
}

void quietFluid(int, const char*, void*) {}

// FluidSynth's own player, clocked by fluid_synth_write_s16, for exactly one minute of sound.
struct FluidBaseline {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;

    FluidBaseline()
    {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, quietFluid, nullptr);
        settings = new_fluid_settings();
        fluid_settings_setnum(settings, "synth.sample-rate", kRate);
        fluid_settings_setnum(settings, "synth.gain", 0.4);
        fluid_settings_setint(settings, "synth.threadsafe-api", 0);
        synth = new_fluid_synth(settings);
        fluid_synth_sfload(synth, mci::seq::findSoundFont().c_str(), 1);
    }
    ~FluidBaseline()
    {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }
    FluidBaseline(const FluidBaseline&) = delete;
    FluidBaseline& operator=(const FluidBaseline&) = delete;

    int64_t renderMinute(const std::string& path)
    {
        fluid_synth_system_reset(synth);
        fluid_player_t* player = new_fluid_player(synth);
        fluid_player_add(player, path.c_str());
        fluid_player_play(player);
        std::vector<int16_t> block(1024 * 2);
        int64_t done = 0;
        const int64_t total = int64_t{kRate} * kSeconds;
        while (done < total) {
            const int n = static_cast<int>(std::min<int64_t>(1024, total - done));
            fluid_synth_write_s16(synth, n, block.data(), 0, 2, block.data(), 1, 2);
            done += n;
        }
        fluid_player_stop(player);
        fluid_player_join(player);
        delete_fluid_player(player);
        return done;
    }
};

FluidBaseline& baseline()
{
    static FluidBaseline b;
    return b;
}

double baselineCpuSeconds()
{
    static const double seconds = kbbench::meanCpuSeconds([] { baseline().renderMinute(mediaPath()); });
    return seconds;
}

void BM_FluidPlayerMinute(benchmark::State& state)
{
    const auto& path = mediaPath();
    if (mci::seq::findSoundFont().empty()) {
        state.SkipWithError("no SoundFont installed");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(baseline().renderMinute(path));
}
BENCHMARK(BM_FluidPlayerMinute)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_DevicePlayMinute(benchmark::State& state)
{
    const auto& path = mediaPath();
    if (mci::seq::findSoundFont().empty()) {
        state.SkipWithError("no SoundFont installed");
        return;
    }
    const double reference = baselineCpuSeconds();
    kbbench::FastPlayer player(mci::sequencerDeviceType());
    if (player.open(path) != 0) {
        state.SkipWithError("cannot open the MIDI file");
        return;
    }
    player.timePlays(state, reference, "fluid_player_ms", "ratio_to_fluid");
}
BENCHMARK(BM_DevicePlayMinute)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
