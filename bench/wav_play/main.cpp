// CPU time of playing one minute of 44.1 kHz 16-bit stereo WAV through the waveaudio device
// (read, mix, null sink at high speed) against reading the same file's bytes, the floor of
// any player of it.
#include "bench/support/DevicePlay.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "tests/support/SineWav.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

using namespace kb;

namespace {

const std::string& mediaPath()
{
    static QTemporaryDir dir;
    static const std::string path = [] {
        const std::string p = dir.filePath("minute.wav").toStdString();
        kbtest::Sine sine;
        sine.samples = 44100 * 60;
        sine.frequency = 440;
        kbtest::writeSineWav(p, sine, 16);
        return p;
    }();
    return path;
}

size_t readBytes(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return 0;
    std::vector<char> buffer(1 << 16);
    size_t total = 0;
    while (const size_t n = std::fread(buffer.data(), 1, buffer.size(), f))
        total += n;
    std::fclose(f);
    return total;
}

double baselineCpuSeconds()
{
    static const double seconds = kbbench::meanCpuSeconds([] { readBytes(mediaPath()); }, 10);
    return seconds;
}

void BM_ReadFileMinute(benchmark::State& state)
{
    const auto& path = mediaPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(readBytes(path));
}
BENCHMARK(BM_ReadFileMinute)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_DevicePlayMinute(benchmark::State& state)
{
    const auto& path = mediaPath();
    const double baseline = baselineCpuSeconds();
    kbbench::FastPlayer player(mci::waveAudioDeviceType());
    if (player.open(path) != 0) {
        state.SkipWithError("cannot open the WAV");
        return;
    }
    player.timePlays(state, baseline, "file_read_ms", "ratio_to_file_read");
}
BENCHMARK(BM_DevicePlayMinute)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
