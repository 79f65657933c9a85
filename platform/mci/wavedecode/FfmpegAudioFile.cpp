#include "platform/mci/wavedecode/FfmpegAudioFile.h"

#include "platform/audio/AudioEngine.h"
#include "platform/mci/MciErrors.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>
#include <optional>

namespace kb::mci::wave {

namespace {

uint32_t readLe32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8)
        | (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

// FFmpeg's demuxers and decoders are quiet unless something is badly wrong.
void quietLogging()
{
    static const bool once = [] {
        av_log_set_level(AV_LOG_FATAL);
        return true;
    }();
    (void)once;
}

} // namespace

uint32_t FfmpegAudioFile::open(const std::string& path)
{
    quietLogging();
    const uint32_t result = probe(path);
    if (result != 0) {
        codec_.reset();
        input_.reset();
    }
    return result;
}

uint32_t FfmpegAudioFile::probe(const std::string& path)
{
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0)
        return MCIERR_INVALID_FILE;
    input_.reset(raw);
    const int64_t dataOffset = input_->pb ? avio_tell(input_->pb) : 0;
    if (avformat_find_stream_info(input_.get(), nullptr) < 0)
        return MCIERR_INVALID_FILE;
    const AVCodec* decoder = nullptr;
    streamIndex_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (streamIndex_ < 0 || !decoder)
        return MCIERR_INVALID_FILE;
    AVStream* st = input_->streams[streamIndex_];
    const AVCodecParameters* par = st->codecpar;
    if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0)
        return MCIERR_INVALID_FILE;

    codec_.reset(avcodec_alloc_context3(decoder));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), par) < 0)
        return MCIERR_INVALID_FILE;
    codec_->pkt_timebase = st->time_base;
    if (avcodec_open2(codec_.get(), decoder, nullptr) < 0)
        return MCIERR_INVALID_FILE;
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!frame_ || !packet_)
        return MCIERR_OUT_OF_MEMORY;

    info_.rate = par->sample_rate;
    info_.channels = par->ch_layout.nb_channels;
    const int exactBits = av_get_exact_bits_per_sample(par->codec_id);
    useTable_ = exactBits <= 0;
    if (!useTable_) {
        info_.blockAlign = par->block_align > 0 ? par->block_align : info_.channels * exactBits / 8;
        startTs_ = st->start_time == AV_NOPTS_VALUE ? 0 : av_rescale_q(st->start_time, st->time_base, {1, info_.rate});
        const int64_t fileSize = input_->pb ? avio_size(input_->pb) : -1;
        const int64_t available = fileSize > dataOffset && info_.blockAlign > 0
            ? (fileSize - dataOffset) / info_.blockAlign : -1;
        const int64_t declared = st->duration == AV_NOPTS_VALUE
            ? -1 : av_rescale_q(st->duration, st->time_base, {1, info_.rate});
        // Data shorter than the header says is a damaged file: its length would be a lie.
        if (declared >= 0 && available >= 0 && declared > available)
            return MCIERR_INVALID_FILE;
        info_.samples = declared >= 0 ? declared : std::max<int64_t>(available, 0);
    } else {
        info_.blockAlign = info_.channels * 2;
        if (!scanPackets() || info_.samples <= 0)
            return MCIERR_INVALID_FILE;
    }
    if (!resetResampler())
        return MCIERR_INVALID_FILE;

    // A file that yields no sound at all cannot be played.
    if (info_.samples > 0) {
        std::vector<int16_t> trial;
        if (!seek(0))
            return MCIERR_INVALID_FILE;
        Step step = Step::Data;
        while (trial.empty() && step == Step::Data)
            step = next(std::min<int64_t>(info_.samples, info_.rate), trial);
        if (trial.empty())
            return MCIERR_INVALID_FILE;
    }
    return seek(0) ? 0u : static_cast<uint32_t>(MCIERR_INVALID_FILE);
}

bool FfmpegAudioFile::scanPackets()
{
    AVStream* st = input_->streams[streamIndex_];
    int64_t raw = 0;
    int64_t endSkip = 0;
    startSkip_ = 0;
    table_.clear();
    while (av_read_frame(input_.get(), packet_.get()) >= 0) {
        if (packet_->stream_index == streamIndex_) {
            int64_t samples = av_rescale_q(packet_->duration, st->time_base, {1, info_.rate});
            if (samples <= 0)
                samples = codec_->frame_size > 0 ? codec_->frame_size : 1152;
            size_t size = 0;
            if (const uint8_t* skip = av_packet_get_side_data(packet_.get(), AV_PKT_DATA_SKIP_SAMPLES, &size);
                skip && size >= 8) {
                startSkip_ += readLe32(skip);
                endSkip += readLe32(skip + 4);
            }
            if (packet_->pos >= 0)
                table_.push_back({packet_->pos, raw});
            raw += samples;
        }
        av_packet_unref(packet_.get());
    }
    info_.samples = raw - startSkip_ - endSkip;
    return !table_.empty();
}

bool FfmpegAudioFile::resetResampler()
{
    AVChannelLayout out{};
    av_channel_layout_default(&out, info_.channels == 1 ? 1 : 2);
    SwrContext* raw = swr_.release();
    const int r = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_S16, audio::kOutputRate, &codec_->ch_layout,
                                      codec_->sample_fmt, info_.rate, 0, nullptr);
    swr_.reset(raw);
    av_channel_layout_uninit(&out);
    swrFormat_ = codec_->sample_fmt;
    swrChannels_ = codec_->ch_layout.nb_channels;
    return r >= 0 && swr_ && swr_init(swr_.get()) >= 0;
}

bool FfmpegAudioFile::seek(int64_t sample)
{
    target_ = std::clamp<int64_t>(sample, 0, info_.samples);
    finished_ = false;
    inputDone_ = false;
    avcodec_flush_buffers(codec_.get());
    if (!resetResampler())
        return false;
    AVStream* st = input_->streams[streamIndex_];
    if (!useTable_) {
        const int64_t ts = av_rescale_q(target_ + startTs_, {1, info_.rate}, st->time_base);
        return av_seek_frame(input_.get(), streamIndex_, ts, AVSEEK_FLAG_BACKWARD) >= 0;
    }
    // Start at least 100 ms (and one more packet) early: an MP3 frame needs the frames before
    // it to decode correctly. Samples before the target are decoded and dropped.
    const int64_t preroll = target_ + startSkip_ - info_.rate / 10;
    auto it = std::upper_bound(table_.begin(), table_.end(), preroll,
                               [](int64_t raw, const PacketSpan& p) { return raw < p.raw; });
    size_t k = it == table_.begin() ? 0 : static_cast<size_t>(it - table_.begin()) - 1;
    if (k > 0)
        --k;
    nextRaw_ = table_[k].raw;
    return av_seek_frame(input_.get(), streamIndex_, table_[k].pos, AVSEEK_FLAG_BYTE) >= 0;
}

int64_t FfmpegAudioFile::frameStart(const AVFrame& frame) const
{
    if (useTable_)
        return frame.pts - startSkip_;
    const int64_t pts = frame.pts != AV_NOPTS_VALUE ? frame.pts : frame.best_effort_timestamp;
    return av_rescale_q(pts, input_->streams[streamIndex_]->time_base, {1, info_.rate}) - startTs_;
}

void FfmpegAudioFile::convert(const AVFrame& frame, int skip, int count, std::vector<int16_t>& out)
{
    // The resampler takes what the stream's header promised; a damaged stream can decode to
    // frames of another layout, which are dropped rather than misread.
    if (frame.format != swrFormat_ || frame.ch_layout.nb_channels != swrChannels_ || frame.sample_rate != info_.rate
        || skip < 0 || count <= 0 || skip + count > frame.nb_samples)
        return;
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int bytes = av_get_bytes_per_sample(format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int planes = planar ? frame.ch_layout.nb_channels : 1;
    std::vector<const uint8_t*> in(static_cast<size_t>(planes));
    for (int p = 0; p < planes; ++p)
        in[static_cast<size_t>(p)] = frame.extended_data[p]
            + static_cast<ptrdiff_t>(skip) * bytes * (planar ? 1 : frame.ch_layout.nb_channels);
    const int capacity = swr_get_out_samples(swr_.get(), count);
    if (capacity <= 0)
        return;
    const int outChannels = info_.channels == 1 ? 1 : 2;
    std::vector<int16_t> buffer(static_cast<size_t>(capacity) * outChannels);
    auto* dst = reinterpret_cast<uint8_t*>(buffer.data());
    const int got = swr_convert(swr_.get(), &dst, capacity, in.data(), count);
    if (got <= 0)
        return;
    if (outChannels == 2) {
        out.insert(out.end(), buffer.begin(), buffer.begin() + 2 * got);
    } else {
        for (int i = 0; i < got; ++i) {
            out.push_back(buffer[static_cast<size_t>(i)]);
            out.push_back(buffer[static_cast<size_t>(i)]);
        }
    }
}

void FfmpegAudioFile::drainResampler(std::vector<int16_t>& out)
{
    const int outChannels = info_.channels == 1 ? 1 : 2;
    std::vector<int16_t> buffer(4096 * outChannels);
    for (;;) {
        auto* dst = reinterpret_cast<uint8_t*>(buffer.data());
        const int got = swr_convert(swr_.get(), &dst, 4096, nullptr, 0);
        if (got <= 0)
            return;
        for (int i = 0; i < got; ++i) {
            const auto at = static_cast<size_t>(i * outChannels);
            out.push_back(buffer[at]);
            out.push_back(buffer[at + outChannels - 1]);
        }
    }
}

std::optional<Step> FfmpegAudioFile::receive(int64_t end, std::vector<int16_t>& out)
{
    const size_t before = out.size();
    for (;;) {
        const int r = avcodec_receive_frame(codec_.get(), frame_.get());
        if (r == AVERROR(EAGAIN))
            return out.size() > before ? std::optional(Step::Data) : std::nullopt;
        if (r == AVERROR_EOF) {
            finished_ = true;
            drainResampler(out);
            return Step::End;
        }
        if (r < 0)
            return Step::Error;
        const int64_t start = frameStart(*frame_);
        const int64_t n = frame_->nb_samples;
        const int64_t skip = std::clamp<int64_t>(target_ - start, 0, n);
        const int64_t stop = std::clamp<int64_t>(end - start, 0, n);
        if (stop > skip)
            convert(*frame_, static_cast<int>(skip), static_cast<int>(stop - skip), out);
        av_frame_unref(frame_.get());
        if (start + n >= end) {
            finished_ = true;
            drainResampler(out);
            return Step::End;
        }
    }
}

Step FfmpegAudioFile::next(int64_t end, std::vector<int16_t>& out)
{
    if (finished_)
        return Step::End;
    for (;;) {
        if (const auto got = receive(end, out))
            return *got;
        if (inputDone_)
            return Step::End;
        const int r = av_read_frame(input_.get(), packet_.get());
        if (r < 0) {
            if (r != AVERROR_EOF && !avio_feof(input_->pb))
                return Step::Error;
            inputDone_ = true;
            avcodec_send_packet(codec_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index != streamIndex_) {
            av_packet_unref(packet_.get());
            continue;
        }
        if (useTable_) {
            auto it = std::lower_bound(table_.begin(), table_.end(), packet_->pos,
                                       [](const PacketSpan& p, int64_t pos) { return p.pos < pos; });
            const int64_t raw = it != table_.end() && it->pos == packet_->pos ? it->raw : nextRaw_;
            const int64_t samples = it != table_.end() && it->pos == packet_->pos && it + 1 != table_.end()
                ? (it + 1)->raw - it->raw : (codec_->frame_size > 0 ? codec_->frame_size : 1152);
            nextRaw_ = raw + samples;
            packet_->pts = packet_->dts = raw;
            // Delay and padding are cut by our own sample arithmetic, not by the decoder.
            av_packet_free_side_data(packet_.get());
        }
        // A damaged packet is dropped; the decoder resynchronises on the next one.
        avcodec_send_packet(codec_.get(), packet_.get());
        av_packet_unref(packet_.get());
    }
}

} // namespace kb::mci::wave
