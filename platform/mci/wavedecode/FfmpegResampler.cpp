#include "platform/mci/wavedecode/FfmpegResampler.h"

#include "platform/audio/AudioEngine.h"

namespace kb::mci::wave {

namespace {

AVSampleFormat avFormat(PcmFormat::Sample sample)
{
    switch (sample) {
    case PcmFormat::Sample::U8: return AV_SAMPLE_FMT_U8;
    case PcmFormat::Sample::S16: return AV_SAMPLE_FMT_S16;
    case PcmFormat::Sample::S32: return AV_SAMPLE_FMT_S32;
    case PcmFormat::Sample::Float: return AV_SAMPLE_FMT_FLT;
    }
    return AV_SAMPLE_FMT_NONE;
}

} // namespace

std::unique_ptr<FfmpegResampler> FfmpegResampler::make(const PcmFormat& format)
{
    if (format.rate <= 0 || format.channels <= 0)
        return nullptr;
    AVChannelLayout in{};
    if (format.channelMask == 0 || av_channel_layout_from_mask(&in, format.channelMask) < 0)
        av_channel_layout_default(&in, format.channels);
    const int outChannels = format.channels == 1 ? 1 : 2;
    AVChannelLayout out{};
    av_channel_layout_default(&out, outChannels);
    SwrContext* raw = nullptr;
    const int r = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_S16, audio::kOutputRate, &in,
                                      avFormat(format.sample), format.rate, 0, nullptr);
    SwrPtr swr(raw);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (r < 0 || !swr || swr_init(swr.get()) < 0)
        return nullptr;
    return std::unique_ptr<FfmpegResampler>(new FfmpegResampler(std::move(swr), outChannels));
}

void FfmpegResampler::append(int got, std::vector<int16_t>& out) const
{
    // Mono is converted as mono and doubled here, as the output is always stereo.
    for (int i = 0; i < got; ++i) {
        const auto at = static_cast<size_t>(i * outChannels_);
        out.push_back(buffer_[at]);
        out.push_back(buffer_[at + static_cast<size_t>(outChannels_) - 1]);
    }
}

void FfmpegResampler::convert(const uint8_t* in, int frames, std::vector<int16_t>& out)
{
    const int capacity = swr_get_out_samples(swr_.get(), frames);
    if (capacity <= 0)
        return;
    buffer_.resize(static_cast<size_t>(capacity) * static_cast<size_t>(outChannels_));
    auto* dst = reinterpret_cast<uint8_t*>(buffer_.data());
    append(swr_convert(swr_.get(), &dst, capacity, &in, frames), out);
}

void FfmpegResampler::drain(std::vector<int16_t>& out)
{
    buffer_.resize(4096 * static_cast<size_t>(outChannels_));
    for (;;) {
        auto* dst = reinterpret_cast<uint8_t*>(buffer_.data());
        const int got = swr_convert(swr_.get(), &dst, 4096, nullptr, 0);
        if (got <= 0)
            return;
        append(got, out);
    }
}

} // namespace kb::mci::wave
