// CPU time of playing one minute of MPEG-1 video with MP2 sound through the avivideo device
// without a window (demux, decode, resample, pacing, mix, null sink at high speed) against
// a plain FFmpeg loop decoding both streams of the same file.
#include "bench/support/DevicePlay.h"
#include "platform/mci/avivideo/AviVideoDevice.h"
#include "platform/mci/avivideo/FfmpegHandles.h"
#include "tests/platform/avivideo/TestVideo.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kb;

namespace {

// A one-minute 320x240 program stream at 25 frames a second, made once per run.
const std::string& mediaPath()
{
    static QTemporaryDir dir;
    static const std::string path = [] {
        const std::string p = dir.filePath("minute.mpg").toStdString();
        kbtest::writeTestVideo(p, {"mpeg", 60, 25, 320, 240, true, true});
        return p;
    }();
    return path;
}

// Decodes every packet of both streams; returns the pictures decoded.
int64_t ffmpegDecode(const std::string& path)
{
    using namespace kb::mci::avi;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return 0;
    InputPtr input(raw);
    avformat_find_stream_info(input.get(), nullptr);
    CodecPtr codecs[2];
    int index[2] = {-1, -1};
    const AVMediaType types[2] = {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO};
    for (int i = 0; i < 2; ++i) {
        const AVCodec* decoder = nullptr;
        index[i] = av_find_best_stream(input.get(), types[i], -1, -1, &decoder, 0);
        if (index[i] < 0)
            continue;
        codecs[i].reset(avcodec_alloc_context3(decoder));
        avcodec_parameters_to_context(codecs[i].get(), input->streams[index[i]]->codecpar);
        codecs[i]->thread_count = 1;
        avcodec_open2(codecs[i].get(), decoder, nullptr);
    }
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    int64_t pictures = 0;
    auto drain = [&](int i) {
        while (avcodec_receive_frame(codecs[i].get(), frame.get()) == 0) {
            pictures += i == 0;
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        for (int i = 0; i < 2; ++i)
            if (codecs[i] && packet->stream_index == index[i]) {
                avcodec_send_packet(codecs[i].get(), packet.get());
                drain(i);
            }
        av_packet_unref(packet.get());
    }
    for (int i = 0; i < 2; ++i)
        if (codecs[i]) {
            avcodec_send_packet(codecs[i].get(), nullptr);
            drain(i);
        }
    return pictures;
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
    const double reference = baselineCpuSeconds();
    kbbench::FastPlayer player(mci::aviVideoDeviceType());
    if (player.open(path) != 0) {
        state.SkipWithError("cannot open the video");
        return;
    }
    player.timePlays(state, reference, "ffmpeg_decode_ms", "ratio_to_ffmpeg");
}
BENCHMARK(BM_DevicePlayMinute)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
