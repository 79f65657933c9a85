// CPU time of playing one minute of MP3 through the waveaudio device (decode, resample,
// mix, null sink at high speed) against a plain FFmpeg decode loop of the same file.
#include "bench/support/DevicePlay.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "platform/mci/wavedecode/FfmpegHandles.h"
#include "tests/platform/waveaudio/TestMedia.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kb;

namespace {

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
    static const double seconds = kbbench::meanCpuSeconds([] { ffmpegDecode(mediaPath()); });
    return seconds;
}

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
    kbbench::FastPlayer player(mci::waveAudioDeviceType());
    if (player.open(path) != 0) {
        state.SkipWithError("cannot open the MP3");
        return;
    }
    player.timePlays(state, baseline, "ffmpeg_decode_ms", "ratio_to_ffmpeg");
}
BENCHMARK(BM_DevicePlayMinute)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
