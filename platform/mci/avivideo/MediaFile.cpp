#include "platform/mci/avivideo/MediaFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string_view>

namespace kb::mci::avi {

namespace {

void quietFfmpeg()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}

CodecPtr openDecoder(const AVStream* s)
{
    const AVCodec* codec = avcodec_find_decoder(s->codecpar->codec_id);
    if (!codec)
        return nullptr;
    CodecPtr ctx(avcodec_alloc_context3(codec));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), s->codecpar) < 0)
        return nullptr;
    ctx->pkt_timebase = s->time_base;
    ctx->thread_count = 1;
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0)
        return nullptr;
    return ctx;
}

} // namespace

MediaFile::OpenResult MediaFile::open(const std::string& path, int outputRate)
{
    quietFfmpeg();
    rate_ = outputRate;
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists() || !info.isFile())
        return OpenResult::NotFound;

    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return OpenResult::Invalid;
    input_.reset(raw);
    if (avformat_find_stream_info(input_.get(), nullptr) < 0)
        return OpenResult::Invalid;

    videoIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    audioIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (videoIndex_ >= 0) {
        const AVStream* s = input_->streams[videoIndex_];
        if (s->disposition & AV_DISPOSITION_ATTACHED_PIC || !(video_ = openDecoder(s)))
            videoIndex_ = -1;
    }
    if (audioIndex_ >= 0 && !(audio_ = openDecoder(input_->streams[audioIndex_])))
        audioIndex_ = -1;
    if (!video_ && !audio_)
        return OpenResult::Invalid;

    if (audio_ && !setUpResampler(audio_->ch_layout, audio_->sample_fmt, audio_->sample_rate))
        return OpenResult::Invalid;
    if (video_) {
        const AVStream* s = input_->streams[videoIndex_];
        AVRational r = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
        if (r.num <= 0 || r.den <= 0)
            r = {25, 1};
        fpsNum_ = r.num;
        fpsDen_ = r.den;
        timesAreDts_ = std::string_view(input_->iformat->name) == "avi";
    }
    packet_.reset(av_packet_alloc());
    scratch_.reset(av_frame_alloc());
    if (!packet_ || !scratch_)
        return OpenResult::Invalid;

    lengthMs_ = input_->duration != AV_NOPTS_VALUE ? input_->duration / 1000 : probeLength();
    if (lengthMs_ <= 0)
        return OpenResult::Invalid;
    return OpenResult::Ok;
}

int MediaFile::displayWidth() const
{
    if (!video_)
        return 0;
    const AVRational sar = av_guess_sample_aspect_ratio(input_.get(), input_->streams[videoIndex_], nullptr);
    if (sar.num <= 0 || sar.den <= 0)
        return video_->width;
    return static_cast<int>(std::lround(double(video_->width) * sar.num / sar.den));
}

int64_t MediaFile::probeLength()
{
    double end = 0;
    while (av_read_frame(input_.get(), packet_.get()) >= 0) {
        const AVStream* s = input_->streams[packet_->stream_index];
        if (packet_->pts != AV_NOPTS_VALUE)
            end = std::max(end, msOf(packet_->pts + packet_->duration, s));
        av_packet_unref(packet_.get());
    }
    av_seek_frame(input_.get(), -1, 0, AVSEEK_FLAG_BACKWARD);
    return static_cast<int64_t>(end);
}

double MediaFile::msOf(int64_t pts, const AVStream* s) const
{
    const int64_t start = s->start_time != AV_NOPTS_VALUE ? s->start_time : 0;
    return double(pts - start) * 1000.0 * s->time_base.num / s->time_base.den;
}

void MediaFile::seek(int64_t ms)
{
    drained_ = false;
    lastVideoMs_ = -1;
    pending_.clear();
    pendingMs_ = 0;
    beforeKey_ = 0;
    votes_.clear();
    fallbackOrigin_ = 0;
    fallbackSet_ = false;
    const int64_t early = std::max<int64_t>(0, ms - 1000);
    int64_t ts = av_rescale(early, AV_TIME_BASE, 1000);
    if (input_->start_time != AV_NOPTS_VALUE)
        ts += input_->start_time;
    if (early == 0 || av_seek_frame(input_.get(), -1, ts, AVSEEK_FLAG_BACKWARD) < 0)
        av_seek_frame(input_.get(), -1, input_->start_time != AV_NOPTS_VALUE ? input_->start_time : 0,
                      AVSEEK_FLAG_BACKWARD);
    if (video_)
        avcodec_flush_buffers(video_.get());
    if (audio_)
        avcodec_flush_buffers(audio_.get());
    if (swr_)
        swr_init(swr_.get());
}

void MediaFile::receiveVideo(std::deque<VideoFrame>& out)
{
    const AVStream* s = input_->streams[videoIndex_];
    const double step = 1000.0 * fpsDen_ / fpsNum_;
    for (;;) {
        FramePtr f(av_frame_alloc());
        if (!f || avcodec_receive_frame(video_.get(), f.get()) < 0)
            return;
        // Pictures are timed by counting at the constant frame rate from an anchor: program
        // streams attach a packet's time to the wrong picture now and then (several pictures
        // in a row around some keyframes), so no single picture's time is trusted.
        const double advance = step * (1 + f->repeat_pict / 2.0);
        if (lastVideoMs_ >= 0) {
            lastVideoMs_ += advance;
            out.push_back({std::move(f), lastVideoMs_});
            continue;
        }
        // Not anchored yet (after a seek): the pictures wait while their own times vote on
        // where the count starts; the first start enough of them agree on wins.
        if (pending_.empty() && !f->key_frame && ++beforeKey_ <= 2 * fpsNum_ / fpsDen_)
            continue; // a decoder that shows pictures without their references
        if (f->pts != AV_NOPTS_VALUE) {
            const double origin = msOf(f->pts, s) - pendingMs_;
            auto vote = std::find_if(votes_.begin(), votes_.end(),
                                     [&](const Vote& v) { return std::abs(v.origin - origin) < step / 2; });
            if (vote == votes_.end())
                vote = votes_.insert(votes_.end(), {origin, 0});
            ++vote->count;
        } else if (!fallbackSet_ && f->best_effort_timestamp != AV_NOPTS_VALUE) {
            fallbackOrigin_ = msOf(f->best_effort_timestamp, s) - pendingMs_;
            fallbackSet_ = true;
        }
        pending_.push_back({std::move(f), pendingMs_});
        pendingMs_ += advance;
        const bool agreed = std::any_of(votes_.begin(), votes_.end(), [](const Vote& v) { return v.count >= kVotes; });
        if (agreed || pending_.size() >= kMaxPending) // bounded: decoded pictures are large
            releasePending(out);
    }
}

void MediaFile::releasePending(std::deque<VideoFrame>& out)
{
    if (pending_.empty())
        return;
    double origin = fallbackOrigin_;
    if (!votes_.empty())
        origin = std::max_element(votes_.begin(), votes_.end(),
                                  [](const Vote& a, const Vote& b) { return a.count < b.count; })->origin;
    for (VideoFrame& v : pending_) {
        v.ms += origin;
        lastVideoMs_ = v.ms;
        out.push_back(std::move(v));
    }
    pending_.clear();
}

bool MediaFile::setUpResampler(const AVChannelLayout& layout, int format, int rate)
{
    SwrContext* swr = nullptr;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout in{};
    if (layout.nb_channels > 0)
        av_channel_layout_copy(&in, &layout);
    else
        av_channel_layout_default(&in, 2);
    const int ok = swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, rate_, &in,
                                       static_cast<AVSampleFormat>(format), rate, 0, nullptr);
    swrChannels_ = in.nb_channels;
    av_channel_layout_uninit(&in);
    swr_.reset(swr);
    swrFormat_ = format;
    swrRate_ = rate;
    return ok >= 0 && swr_init(swr_.get()) >= 0;
}

void MediaFile::receiveAudio(std::deque<AudioChunk>& out)
{
    const AVStream* s = input_->streams[audioIndex_];
    while (avcodec_receive_frame(audio_.get(), scratch_.get()) >= 0) {
        // A damaged stream can decode to frames unlike what its header promised: the
        // resampler follows each frame, and a frame none can take is dropped.
        const AVFrame& f = *scratch_;
        const bool differs = f.format != swrFormat_ || f.sample_rate != swrRate_
            || (f.ch_layout.nb_channels > 0 && f.ch_layout.nb_channels != swrChannels_);
        if (f.nb_samples <= 0 || f.sample_rate <= 0 || f.ch_layout.nb_channels <= 0
            || (differs && !setUpResampler(f.ch_layout, f.format, f.sample_rate))) {
            av_frame_unref(scratch_.get());
            continue;
        }
        AudioChunk chunk;
        const int64_t pts = scratch_->best_effort_timestamp;
        chunk.ms = pts != AV_NOPTS_VALUE ? msOf(pts, s) : (out.empty() ? 0 : out.back().ms);
        const int capacity = swr_get_out_samples(swr_.get(), scratch_->nb_samples) + 16;
        chunk.samples.resize(static_cast<size_t>(capacity) * 2);
        uint8_t* dst = reinterpret_cast<uint8_t*>(chunk.samples.data());
        const int got = swr_convert(swr_.get(), &dst, capacity, const_cast<const uint8_t**>(scratch_->extended_data),
                                    scratch_->nb_samples);
        av_frame_unref(scratch_.get());
        if (got <= 0)
            continue;
        chunk.samples.resize(static_cast<size_t>(got) * 2);
        out.push_back(std::move(chunk));
    }
}

bool MediaFile::step(std::deque<VideoFrame>& video, std::deque<AudioChunk>& audio)
{
    if (drained_)
        return false;
    const int err = av_read_frame(input_.get(), packet_.get());
    if (err < 0) {
        // The end (or an unreadable rest): drain what the decoders still hold.
        if (video_) {
            avcodec_send_packet(video_.get(), nullptr);
            receiveVideo(video);
            releasePending(video);
        }
        if (audio_) {
            avcodec_send_packet(audio_.get(), nullptr);
            receiveAudio(audio);
        }
        drained_ = true;
        return false;
    }
    if (packet_->stream_index == videoIndex_) {
        // AVI keeps one time per picture, in decode order: without B-frames (the usual AVI)
        // it is the display time. Left empty, the decoder, which holds each picture back
        // until the next arrives, would guess the time of the picture after it.
        if (timesAreDts_ && packet_->pts == AV_NOPTS_VALUE)
            packet_->pts = packet_->dts;
        avcodec_send_packet(video_.get(), packet_.get());
        receiveVideo(video);
    } else if (packet_->stream_index == audioIndex_) {
        avcodec_send_packet(audio_.get(), packet_.get());
        receiveAudio(audio);
    }
    av_packet_unref(packet_.get());
    return true;
}

} // namespace kb::mci::avi
