#include "platform/cdrom/FfmpegAudioReader.h"
#include "platform/mci/DriverAbi.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace kb::cdrom {

namespace {

constexpr int kRate = 44100;
// Positions this far ahead of the decoder are reached by decoding on, not by seeking.
constexpr int64_t kDecodeAheadLimit = kRate * 2;

struct FormatDeleter {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrDeleter {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

std::string avError(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

} // namespace

struct FfmpegAudioReader::Impl {
    std::unique_ptr<AVFormatContext, FormatDeleter> format;
    std::unique_ptr<AVCodecContext, CodecDeleter> codec;
    std::unique_ptr<SwrContext, SwrDeleter> swr;
    std::unique_ptr<AVPacket, PacketDeleter> packet{av_packet_alloc()};
    std::unique_ptr<AVFrame, FrameDeleter> frame{av_frame_alloc()};
    int stream = -1;
    bool positionKnown = false; // the next decoded frame's pts sets pendingStart_
};

FfmpegAudioReader::FfmpegAudioReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
FfmpegAudioReader::~FfmpegAudioReader() = default;

std::unique_ptr<AudioFileReader> FfmpegAudioReader::open(const std::string& path, std::string& error)
{
    av_log_set_level(AV_LOG_ERROR);
    auto impl = std::make_unique<Impl>();
    AVFormatContext* raw = nullptr;
    if (int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr); rc < 0) {
        error = path + ": " + avError(rc);
        return nullptr;
    }
    impl->format.reset(raw);
    if (int rc = avformat_find_stream_info(raw, nullptr); rc < 0) {
        error = path + ": " + avError(rc);
        return nullptr;
    }
    const AVCodec* decoder = nullptr;
    impl->stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (impl->stream < 0 || !decoder) {
        error = path + ": no audio stream";
        return nullptr;
    }
    AVStream* st = raw->streams[impl->stream];
    impl->codec.reset(avcodec_alloc_context3(decoder));
    if (!impl->codec || avcodec_parameters_to_context(impl->codec.get(), st->codecpar) < 0
        || avcodec_open2(impl->codec.get(), decoder, nullptr) < 0) {
        error = path + ": cannot open the decoder";
        return nullptr;
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout inLayout{};
    if (impl->codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, impl->codec->ch_layout.nb_channels);
    else
        av_channel_layout_copy(&inLayout, &impl->codec->ch_layout);
    SwrContext* swr = nullptr;
    const int rc = swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_S16, kRate, &inLayout,
                                       impl->codec->sample_fmt, impl->codec->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    impl->swr.reset(swr);
    if (rc < 0 || swr_init(swr) < 0) {
        error = path + ": cannot convert its audio";
        return nullptr;
    }
    int64_t samples = 0;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
        samples = av_rescale_q(st->duration, st->time_base, AVRational{1, kRate});
    else if (raw->duration != AV_NOPTS_VALUE && raw->duration > 0)
        samples = av_rescale(raw->duration, kRate, AV_TIME_BASE);
    if (samples <= 0) {
        error = path + ": unknown length";
        return nullptr;
    }
    auto reader = std::unique_ptr<FfmpegAudioReader>(new FfmpegAudioReader(std::move(impl)));
    reader->samples_ = samples;
    return reader;
}

bool FfmpegAudioReader::seekTo(int64_t position)
{
    AVStream* st = impl_->format->streams[impl_->stream];
    int64_t ts = av_rescale_q(position, AVRational{1, kRate}, st->time_base);
    if (st->start_time != AV_NOPTS_VALUE)
        ts += st->start_time;
    if (av_seek_frame(impl_->format.get(), impl_->stream, ts, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(impl_->codec.get());
    swr_init(impl_->swr.get());
    pending_.clear();
    impl_->positionKnown = false;
    atEnd_ = false;
    return true;
}

bool FfmpegAudioReader::decodeMore()
{
    Impl& d = *impl_;
    while (true) {
        int rc = avcodec_receive_frame(d.codec.get(), d.frame.get());
        if (rc == 0) {
            if (!d.positionKnown) {
                AVStream* st = d.format->streams[d.stream];
                int64_t pts = d.frame->best_effort_timestamp;
                if (pts == AV_NOPTS_VALUE)
                    pts = 0;
                if (st->start_time != AV_NOPTS_VALUE)
                    pts -= st->start_time;
                pendingStart_ = av_rescale_q(pts, st->time_base, AVRational{1, kRate})
                    - static_cast<int64_t>(pending_.size() / 2);
                d.positionKnown = true;
            }
            const int capacity = swr_get_out_samples(d.swr.get(), d.frame->nb_samples);
            const size_t old = pending_.size();
            pending_.resize(old + static_cast<size_t>(std::max(capacity, 0)) * 2);
            auto* outPtr = reinterpret_cast<uint8_t*>(pending_.data() + old);
            const int got = swr_convert(d.swr.get(), &outPtr, capacity,
                                        const_cast<const uint8_t**>(d.frame->extended_data),
                                        d.frame->nb_samples);
            av_frame_unref(d.frame.get());
            pending_.resize(old + static_cast<size_t>(std::max(got, 0)) * 2);
            if (got < 0)
                return false;
            return true;
        }
        if (rc == AVERROR_EOF)
            return false;
        if (rc != AVERROR(EAGAIN))
            return false;
        rc = av_read_frame(d.format.get(), d.packet.get());
        if (rc < 0) {
            avcodec_send_packet(d.codec.get(), nullptr); // drain the decoder
            continue;
        }
        if (d.packet->stream_index == d.stream)
            avcodec_send_packet(d.codec.get(), d.packet.get());
        av_packet_unref(d.packet.get());
    }
}

int64_t FfmpegAudioReader::read(int64_t position, int64_t count, int16_t* out)
{
    if (position < 0 || count < 0)
        return -1;
    count = std::min(count, samples_ - position);
    if (count <= 0)
        return 0;
    const int64_t pendingEnd = pendingStart_ + static_cast<int64_t>(pending_.size() / 2);
    const bool reachable = impl_->positionKnown && position >= pendingStart_
        && position <= pendingEnd + kDecodeAheadLimit;
    if (!reachable && !seekTo(position))
        return -1;
    int64_t done = 0;
    while (done < count) {
        if (impl_->positionKnown) {
            // Drop what lies before the wanted position.
            const int64_t skip = std::min<int64_t>(position + done - pendingStart_,
                                                   static_cast<int64_t>(pending_.size() / 2));
            if (skip > 0) {
                pending_.erase(pending_.begin(), pending_.begin() + skip * 2);
                pendingStart_ += skip;
            }
            if (pendingStart_ > position + done) {
                // The decoder resumed after the wanted sample: the gap is silence.
                const int64_t gap = std::min(pendingStart_ - (position + done), count - done);
                std::memset(out + done * 2, 0, static_cast<size_t>(gap) * 4);
                done += gap;
                continue;
            }
            const int64_t avail = static_cast<int64_t>(pending_.size() / 2);
            if (avail > 0) {
                const int64_t take = std::min(avail, count - done);
                std::memcpy(out + done * 2, pending_.data(), static_cast<size_t>(take) * 4);
                pending_.erase(pending_.begin(), pending_.begin() + take * 2);
                pendingStart_ += take;
                done += take;
                continue;
            }
        }
        if (atEnd_ || !decodeMore()) {
            atEnd_ = true;
            break;
        }
    }
    return done;
}

namespace {

AudioFileReader* openReader(const std::string& path, std::string& error)
{
    return FfmpegAudioReader::open(path, error).release();
}

} // namespace

} // namespace kb::cdrom

extern "C" __attribute__((visibility("default"))) const kb::cdrom::AudioFileEntry* kbAudioFileEntry()
{
    static const kb::cdrom::AudioFileEntry entry{kb::mci::kDriverAbiVersion, &kb::cdrom::openReader};
    return &entry;
}
