#include "tests/platform/waveaudio/TestMedia.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cmath>
#include <memory>
#include <vector>

namespace kbtest {

namespace {

struct FormatFree {
    void operator()(AVFormatContext* f) const
    {
        if (f->pb)
            avio_closep(&f->pb);
        avformat_free_context(f);
    }
};
struct CodecFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

} // namespace

bool haveMp3Encoder() { return avcodec_find_encoder(AV_CODEC_ID_MP3) != nullptr; }

bool writeSineMp3(const std::string& path, const Sine& s, int bitrate)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
    if (!codec)
        return false;
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "mp3", path.c_str()) < 0)
        return false;
    std::unique_ptr<AVFormatContext, FormatFree> fmt(raw);
    std::unique_ptr<AVCodecContext, CodecFree> enc(avcodec_alloc_context3(codec));
    enc->sample_rate = s.rate;
    av_channel_layout_default(&enc->ch_layout, s.channels);
    enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16P;
    enc->bit_rate = bitrate;
    if (avcodec_open2(enc.get(), codec, nullptr) < 0)
        return false;
    AVStream* st = avformat_new_stream(fmt.get(), nullptr);
    avcodec_parameters_from_context(st->codecpar, enc.get());
    st->time_base = AVRational{1, s.rate};
    if (avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    if (avformat_write_header(fmt.get(), nullptr) < 0)
        return false;

    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    std::unique_ptr<AVPacket, PacketFree> pkt(av_packet_alloc());
    auto drain = [&]() {
        while (avcodec_receive_packet(enc.get(), pkt.get()) == 0) {
            av_packet_rescale_ts(pkt.get(), enc->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(fmt.get(), pkt.get());
        }
    };
    const int frameSize = enc->frame_size;
    for (int64_t at = 0; at < s.samples; at += frameSize) {
        const int n = static_cast<int>(std::min<int64_t>(frameSize, s.samples - at));
        frame->nb_samples = n;
        frame->format = enc->sample_fmt;
        av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
        frame->sample_rate = s.rate;
        if (av_frame_get_buffer(frame.get(), 0) < 0)
            return false;
        const bool planar = av_sample_fmt_is_planar(enc->sample_fmt);
        for (int i = 0; i < n; ++i) {
            const double v = sineAt(s, at + i);
            for (int c = 0; c < s.channels; ++c) {
                const int plane = planar ? c : 0;
                const int index = planar ? i : i * s.channels + c;
                if (enc->sample_fmt == AV_SAMPLE_FMT_FLTP || enc->sample_fmt == AV_SAMPLE_FMT_FLT)
                    reinterpret_cast<float*>(frame->data[plane])[index] = static_cast<float>(v);
                else if (enc->sample_fmt == AV_SAMPLE_FMT_S32P || enc->sample_fmt == AV_SAMPLE_FMT_S32)
                    reinterpret_cast<int32_t*>(frame->data[plane])[index] = static_cast<int32_t>(v * 2147483647.0);
                else
                    reinterpret_cast<int16_t*>(frame->data[plane])[index] = static_cast<int16_t>(v * 32767);
            }
        }
        frame->pts = at;
        if (avcodec_send_frame(enc.get(), frame.get()) < 0)
            return false;
        av_frame_unref(frame.get());
        drain();
    }
    avcodec_send_frame(enc.get(), nullptr);
    drain();
    return av_write_trailer(fmt.get()) == 0;
}

} // namespace kbtest
