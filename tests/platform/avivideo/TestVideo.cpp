#include "tests/platform/avivideo/TestVideo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <memory>

namespace kbtest {

namespace {

struct Output {
    AVFormatContext* ctx = nullptr;
    ~Output()
    {
        if (ctx && !(ctx->oformat->flags & AVFMT_NOFILE))
            avio_closep(&ctx->pb);
        avformat_free_context(ctx);
    }
};
struct CodecFree { void operator()(AVCodecContext* c) const { avcodec_free_context(&c); } };
struct FrameFree { void operator()(AVFrame* f) const { av_frame_free(&f); } };
struct PacketFree { void operator()(AVPacket* p) const { av_packet_free(&p); } };
using Codec = std::unique_ptr<AVCodecContext, CodecFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;

bool drain(AVFormatContext* fmt, AVCodecContext* enc, AVStream* st, const AVFrame* frame)
{
    if (avcodec_send_frame(enc, frame) < 0)
        return false;
    Packet pkt(av_packet_alloc());
    while (avcodec_receive_packet(enc, pkt.get()) == 0) {
        av_packet_rescale_ts(pkt.get(), enc->time_base, st->time_base);
        pkt->stream_index = st->index;
        if (av_interleaved_write_frame(fmt, pkt.get()) < 0)
            return false;
    }
    return true;
}

void drawBars(AVFrame* f, int number, int w, int h)
{
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int bit = 7 - x * 8 / w;
            f->data[0][y * f->linesize[0] + x] = (number >> bit) & 1 ? 235 : 16;
        }
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x) {
            f->data[1][y * f->linesize[1] + x] = 128;
            f->data[2][y * f->linesize[2] + x] = 128;
        }
}

} // namespace

bool writeTestVideo(const std::string& path, const VideoSpec& spec)
{
    av_log_set_level(AV_LOG_ERROR);
    Output out;
    if (avformat_alloc_output_context2(&out.ctx, nullptr, spec.format.c_str(), path.c_str()) < 0)
        return false;
    AVFormatContext* fmt = out.ctx;

    Codec venc, aenc;
    AVStream* vst = nullptr;
    AVStream* ast = nullptr;
    if (spec.video) {
        const AVCodec* c = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
        venc.reset(avcodec_alloc_context3(c));
        venc->width = spec.width;
        venc->height = spec.height;
        venc->time_base = {1, spec.fps};
        venc->framerate = {spec.fps, 1};
        venc->pix_fmt = AV_PIX_FMT_YUV420P;
        venc->gop_size = 12;
        venc->max_b_frames = spec.format == "avi" ? 0 : 2; // AVI keeps no presentation times
        venc->flags |= AV_CODEC_FLAG_QSCALE;
        venc->global_quality = FF_QP2LAMBDA * 2;
        if (fmt->oformat->flags & AVFMT_GLOBALHEADER)
            venc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(venc.get(), c, nullptr) < 0)
            return false;
        vst = avformat_new_stream(fmt, nullptr);
        avcodec_parameters_from_context(vst->codecpar, venc.get());
        vst->time_base = venc->time_base;
    }
    if (spec.audio) {
        const AVCodec* c = avcodec_find_encoder(AV_CODEC_ID_MP2);
        aenc.reset(avcodec_alloc_context3(c));
        aenc->sample_rate = 44100;
        aenc->sample_fmt = AV_SAMPLE_FMT_S16;
        aenc->bit_rate = 192000;
        av_channel_layout_default(&aenc->ch_layout, 2);
        aenc->time_base = {1, 44100};
        if (fmt->oformat->flags & AVFMT_GLOBALHEADER)
            aenc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(aenc.get(), c, nullptr) < 0)
            return false;
        ast = avformat_new_stream(fmt, nullptr);
        avcodec_parameters_from_context(ast->codecpar, aenc.get());
        ast->time_base = aenc->time_base;
    }
    if (avio_open(&fmt->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return false;
    if (avformat_write_header(fmt, nullptr) < 0)
        return false;

    const int frames = spec.seconds * spec.fps;
    const int samples = spec.seconds * 44100;
    int vnext = 0, anext = 0;
    Frame vf(av_frame_alloc()), af(av_frame_alloc());
    if (venc) {
        vf->format = AV_PIX_FMT_YUV420P;
        vf->width = spec.width;
        vf->height = spec.height;
        av_frame_get_buffer(vf.get(), 0);
    }
    if (aenc) {
        af->format = AV_SAMPLE_FMT_S16;
        af->nb_samples = aenc->frame_size;
        af->sample_rate = 44100;
        av_channel_layout_copy(&af->ch_layout, &aenc->ch_layout);
        av_frame_get_buffer(af.get(), 0);
    }
    // Interleave by time so that the muxers see both streams in order.
    while ((venc && vnext < frames) || (aenc && anext < samples)) {
        const bool videoFirst = venc && vnext < frames &&
                                (!aenc || anext >= samples || double(vnext) / spec.fps <= double(anext) / 44100);
        if (videoFirst) {
            av_frame_make_writable(vf.get());
            drawBars(vf.get(), vnext, spec.width, spec.height);
            vf->pts = vnext++;
            if (!drain(fmt, venc.get(), vst, vf.get()))
                return false;
        } else {
            av_frame_make_writable(af.get());
            auto* s = reinterpret_cast<int16_t*>(af->data[0]);
            for (int i = 0; i < af->nb_samples; ++i) {
                const auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * (anext + i) / 44100.0));
                s[2 * i] = s[2 * i + 1] = v;
            }
            af->pts = anext;
            anext += af->nb_samples;
            if (!drain(fmt, aenc.get(), ast, af.get()))
                return false;
        }
    }
    if ((venc && !drain(fmt, venc.get(), vst, nullptr)) || (aenc && !drain(fmt, aenc.get(), ast, nullptr)))
        return false;
    return av_write_trailer(fmt) == 0;
}

int readFrameNumber(const QImage& image, QRect area)
{
    int number = 0;
    const int y = area.top() + area.height() / 2;
    for (int bit = 0; bit < 8; ++bit) {
        const int x = area.left() + (2 * bit + 1) * area.width() / 16;
        const int v = qGray(image.pixel(x, y));
        if (v > 90 && v < 165)
            return -1;
        number = number * 2 + (v >= 165 ? 1 : 0);
    }
    return number;
}

int readFrameNumber(const AVFrame& frame)
{
    int number = 0;
    const uint8_t* row = frame.data[0] + (frame.height / 2) * frame.linesize[0];
    for (int bit = 0; bit < 8; ++bit) {
        const int v = row[(2 * bit + 1) * frame.width / 16];
        if (v > 90 && v < 165)
            return -1;
        number = number * 2 + (v >= 165 ? 1 : 0);
    }
    return number;
}

} // namespace kbtest
