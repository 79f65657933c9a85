#include "tests/platform/waveaudio/TestMedia.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>
#include <vector>

namespace kbtest {

namespace {

double sineAt(const Sine& s, int64_t i)
{
    return s.amplitude * std::sin(2 * std::numbers::pi * s.frequency * static_cast<double>(i) / s.rate);
}

void putLe(std::ofstream& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

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

bool writeSineWav(const std::string& path, const Sine& s, int bits)
{
    std::ofstream out(path, std::ios::binary);
    if (!out)
        return false;
    const uint32_t blockAlign = static_cast<uint32_t>(s.channels * bits / 8);
    const uint32_t dataBytes = static_cast<uint32_t>(s.samples) * blockAlign;
    out.write("RIFF", 4);
    putLe(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    putLe(out, 16, 4);
    putLe(out, 1, 2);
    putLe(out, static_cast<uint32_t>(s.channels), 2);
    putLe(out, static_cast<uint32_t>(s.rate), 4);
    putLe(out, static_cast<uint32_t>(s.rate) * blockAlign, 4);
    putLe(out, blockAlign, 2);
    putLe(out, static_cast<uint32_t>(bits), 2);
    out.write("data", 4);
    putLe(out, dataBytes, 4);
    for (int64_t i = 0; i < s.samples; ++i) {
        const double v = sineAt(s, i);
        for (int c = 0; c < s.channels; ++c) {
            if (bits == 8)
                putLe(out, static_cast<uint32_t>(std::lround(128 + v * 127)), 1);
            else if (bits == 16)
                putLe(out, static_cast<uint32_t>(std::lround(v * 32767)), 2);
            else
                putLe(out, static_cast<uint32_t>(std::lround(v * 8388607)), 3);
        }
    }
    return static_cast<bool>(out);
}

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
