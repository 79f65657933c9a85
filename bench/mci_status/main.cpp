#include "platform/engine/Platform.h"
#include "platform/mci/CommandParser.h"
#include "platform/mci/ServiceFactory.h"
#include "tests/support/SineWav.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

// Cost of one "status 2 position" round trip through the service, against the bare cost of
// copying the command text and of parsing it, measured in the same run.

namespace {

constexpr std::string_view kCommand = "status 2 position";

// A device that answers from a counter: the round trip is then almost all service.
class CounterDevice final : public kb::mci::Device {
public:
    uint32_t open(const kb::mci::OpenRequest&) override { return 0; }
    void close() override {}
    uint32_t play(const kb::mci::PlayRequest&, uint64_t) override { return 0; }
    uint32_t stop() override { return 0; }
    uint32_t pause() override { return 0; }
    uint32_t resume() override { return 0; }
    uint32_t seek(const kb::mci::SeekRequest&) override { return 0; }
    uint32_t set(const kb::mci::SetRequest&) override { return 0; }
    uint32_t status(const kb::mci::StatusRequest&, std::string& reply) override
    {
        reply = std::to_string(++position_);
        return 0;
    }
    uint32_t info(kb::mci::InfoItem, std::string&) override { return 0; }
    uint32_t capability(kb::mci::CapabilityItem, std::string&) override { return 0; }

private:
    uint32_t position_ = 0;
};

void BM_CopyCommand(benchmark::State& state)
{
    for (auto _ : state) {
        std::string copy(kCommand);
        benchmark::DoNotOptimize(copy);
    }
}

void BM_ParseCommand(benchmark::State& state)
{
    kb::mci::ParsedCommand parsed;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kb::mci::parseCommand(kCommand, parsed));
    }
}

void BM_StatusCounterDevice(benchmark::State& state)
{
    kb::mci::DeviceType type{"counter", {}, [](const kb::mci::DeviceContext&) { return std::make_unique<CounterDevice>(); }};
    auto service = kb::mci::makeMciService({type}, nullptr, nullptr);
    std::string reply;
    service->sendString("open counter alias 2", reply, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(service->sendString(kCommand, reply, nullptr));
    }
}

void BM_StatusWaveAudio(benchmark::State& state)
{
    QTemporaryDir dir;
    kb::audio::SinkChoice sink;
    sink.kind = kb::audio::SinkChoice::Kind::Null;
    auto platform = kb::platform::makePlatform(sink);
    std::string reply;
    const std::string path = dir.filePath("silence.wav").toStdString();
    kbtest::Sine silence; // a second of 16-bit stereo
    silence.amplitude = 0;
    if (!kbtest::writeSineWav(path, silence, 16)
        || platform->mci->sendString("open \"" + path + "\" alias 2", reply, nullptr) != 0) {
        state.SkipWithError("waveaudio is not available");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform->mci->sendString(kCommand, reply, nullptr));
    }
}

BENCHMARK(BM_CopyCommand);
BENCHMARK(BM_ParseCommand);
BENCHMARK(BM_StatusCounterDevice);
BENCHMARK(BM_StatusWaveAudio);

// Prints the usual table, then each benchmark's time as a multiple of the copy baseline.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto base = times_.find("BM_CopyCommand");
        const auto parse = times_.find("BM_ParseCommand");
        if (base == times_.end() || base->second <= 0)
            return;
        for (const auto& [name, time] : times_) {
            std::printf("%-26s %10.1f x copy", name.c_str(), time / base->second);
            if (parse != times_.end() && parse->second > 0)
                std::printf("  %8.2f x parse", time / parse->second);
            std::printf("\n");
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("KOBALTUNE_AUDIO", "null");
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
