// CPU time of playing one minute of MP3 through the waveaudio device (decode, resample,
// mix, null sink at high speed) against a plain FFmpeg decode loop of the same file.
#include "platform/audio/AudioEngine.h"
#include "platform/mci/waveaudio/FfmpegHandles.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "tests/platform/waveaudio/TestMedia.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <ctime>
#include <mutex>

using namespace kb;

namespace {

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A one-minute stereo MP3 made once per run.
const std::string& mediaPath()
{
    static QTemporaryDir dir;
    static const std::string path = [] {
        av_log_set_level(AV_LOG_FATAL);
        const std::string p = dir.filePath("minute.mp3").toStdString();
        kbtest::Sine sine;
        sine.samples = 44100 * 60;
        sine.frequency = 440;
        kbtest::writeSineMp3(p, sine, 192000);
        return p;
    }();
    return path;
}

int64_t ffmpegDecode(const std::string& path)
{
    using namespace kb::mci::wave;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return 0;
    InputPtr input(raw);
    avformat_find_stream_info(input.get(), nullptr);
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    CodecPtr codec(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(codec.get(), input->streams[index]->codecpar);
    avcodec_open2(codec.get(), decoder, nullptr);
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    int64_t samples = 0;
    auto drain = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            samples += frame->nb_samples;
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == index)
            avcodec_send_packet(codec.get(), packet.get());
        av_packet_unref(packet.get());
        drain();
    }
    avcodec_send_packet(codec.get(), nullptr);
    drain();
    return samples;
}

double baselineCpuSeconds()
{
    static const double seconds = [] {
        ffmpegDecode(mediaPath());
        const double start = processCpuSeconds();
        constexpr int rounds = 3;
        for (int i = 0; i < rounds; ++i)
            ffmpegDecode(mediaPath());
        return (processCpuSeconds() - start) / rounds;
    }();
    return seconds;
}

class Ended final : public mci::DeviceEvents {
public:
    void playEnded(uint64_t, mci::PlayEnd) override
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

void BM_FfmpegDecodeMinute(benchmark::State& state)
{
    const auto& path = mediaPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(ffmpegDecode(path));
}
BENCHMARK(BM_FfmpegDecodeMinute)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_DevicePlayMinute(benchmark::State& state)
{
    const auto& path = mediaPath();
    const double baseline = baselineCpuSeconds();
    audio::SinkChoice choice;
    audio::SinkChoice::parse("null,speed=2000", choice);
    auto engine = audio::AudioEngine::create(choice);
    Ended ended;
    mci::DeviceContext context;
    context.audio = engine.get();
    context.events = &ended;
    auto device = mci::waveAudioDeviceType().create(context);
    mci::OpenRequest open;
    open.element = path;
    if (device->open(open) != 0) {
        state.SkipWithError("cannot open the MP3");
        return;
    }
    double cpu = 0;
    uint64_t id = 0;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        device->play(mci::PlayRequest{0, std::nullopt}, ++id);
        ended.wait();
        cpu += processCpuSeconds() - start;
    }
    const double perPlay = cpu / static_cast<double>(state.iterations());
    state.counters["cpu_ms_per_minute"] = perPlay * 1000;
    state.counters["ffmpeg_decode_ms"] = baseline * 1000;
    state.counters["ratio_to_ffmpeg"] = perPlay / baseline;
}
BENCHMARK(BM_DevicePlayMinute)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
