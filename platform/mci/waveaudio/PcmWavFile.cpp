#include "platform/mci/waveaudio/PcmWavFile.h"

#include "platform/audio/AudioEngine.h"
#include "platform/mci/waveaudio/WaveDecoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace kb::mci::wave {

namespace {

constexpr size_t kChunkFrames = 8192;

int16_t le16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

// One sample as 16 bits, exactly as the resampler converts the decoder's output: integer
// samples keep their top 16 bits, floats are scaled by 2^15, rounded and clipped.
int16_t toS16(const uint8_t* p, const WavLayout& layout)
{
    if (layout.encoding == WavLayout::Encoding::Float) {
        uint32_t bits = 0;
        for (int i = 3; i >= 0; --i)
            bits = (bits << 8) | p[i];
        const float v = std::bit_cast<float>(bits) * 32768.0f;
        if (std::isnan(v))
            return 0;
        return static_cast<int16_t>(std::lrint(std::clamp(v, -32768.0f, 32767.0f)));
    }
    switch (layout.bits) {
    case 8: return static_cast<int16_t>((p[0] - 128) * 256);
    case 16: return le16(p);
    case 24: return le16(p + 1);
    default: return le16(p + 2);
    }
}

PcmFormat::Sample decodedFormat(const WavLayout& layout)
{
    if (layout.encoding == WavLayout::Encoding::Float)
        return PcmFormat::Sample::Float;
    switch (layout.bits) {
    case 8: return PcmFormat::Sample::U8;
    case 16: return PcmFormat::Sample::S16;
    default: return PcmFormat::Sample::S32;
    }
}

} // namespace

PcmWavFile::Opened PcmWavFile::open(const std::string& path)
{
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_ || std::fseek(file_.get(), 0, SEEK_END) != 0)
        return Opened::NotPlainPcm;
    const int64_t size = ftello(file_.get());
    std::FILE* f = file_.get();
    const ReadAt read = [f](int64_t offset, void* out, size_t bytes) -> size_t {
        if (fseeko(f, offset, SEEK_SET) != 0)
            return 0;
        return std::fread(out, 1, bytes, f);
    };
    const auto layout = readWavLayout(read, size);
    if (!layout)
        return Opened::NotPlainPcm;
    // A data chunk longer than the file is a damaged file: its length would be a lie.
    if (layout->truncated)
        return Opened::Damaged;
    layout_ = *layout;
    info_.rate = layout_.rate;
    info_.channels = layout_.channels;
    info_.blockAlign = layout_.blockAlign;
    info_.samples = layout_.frames;
    if (!resetResampler())
        return Opened::NotPlainPcm;
    return seek(0) ? Opened::Yes : Opened::NotPlainPcm;
}

bool PcmWavFile::resetResampler()
{
    resampler_.reset();
    if (layout_.rate == audio::kOutputRate && layout_.channels <= 2)
        return true;
    resampler_ = makeResampler({decodedFormat(layout_), layout_.rate, layout_.channels, layout_.channelMask});
    return resampler_ != nullptr;
}

bool PcmWavFile::seek(int64_t sample)
{
    pos_ = std::clamp<int64_t>(sample, 0, info_.samples);
    finished_ = false;
    return resetResampler();
}

void PcmWavFile::convertDirect(const uint8_t* raw, size_t frames, std::vector<int16_t>& out) const
{
    const size_t at = out.size();
    out.resize(at + frames * 2);
    int16_t* dst = out.data() + at;
    if (layout_.channels == 2 && layout_.bits == 16 && layout_.encoding == WavLayout::Encoding::Int
        && std::endian::native == std::endian::little) {
        std::memcpy(dst, raw, frames * 4);
        return;
    }
    const size_t bytes = static_cast<size_t>(layout_.bits / 8);
    for (size_t f = 0; f < frames; ++f) {
        const uint8_t* frame = raw + f * static_cast<size_t>(layout_.blockAlign);
        dst[2 * f] = toS16(frame, layout_);
        dst[2 * f + 1] = layout_.channels == 1 ? dst[2 * f] : toS16(frame + bytes, layout_);
    }
}

void PcmWavFile::convertResampled(const uint8_t* raw, size_t frames, std::vector<int16_t>& out)
{
    const uint8_t* in = raw;
    if (layout_.bits == 24) {
        // The decoder hands 24-bit samples over in the top bits of 32.
        const size_t samples = frames * static_cast<size_t>(layout_.channels);
        widened_.resize(samples * 4);
        for (size_t i = 0; i < samples; ++i) {
            widened_[4 * i] = 0;
            std::memcpy(&widened_[4 * i + 1], raw + 3 * i, 3);
        }
        in = widened_.data();
    }
    resampler_->convert(in, static_cast<int>(frames), out);
}

Step PcmWavFile::next(int64_t end, std::vector<int16_t>& out)
{
    if (finished_)
        return Step::End;
    end = std::min(end, info_.samples);
    const auto want = static_cast<size_t>(std::clamp<int64_t>(end - pos_, 0, kChunkFrames));
    size_t got = 0;
    if (want > 0) {
        raw_.resize(want * static_cast<size_t>(layout_.blockAlign));
        const int64_t offset = layout_.dataOffset + pos_ * layout_.blockAlign;
        if (fseeko(file_.get(), offset, SEEK_SET) == 0)
            got = std::fread(raw_.data(), 1, raw_.size(), file_.get()) / static_cast<size_t>(layout_.blockAlign);
        if (resampler_)
            convertResampled(raw_.data(), got, out);
        else
            convertDirect(raw_.data(), got, out);
        pos_ += static_cast<int64_t>(got);
    }
    // A file cut short while playing ends where its data ends.
    if (pos_ >= end || got < want) {
        finished_ = true;
        if (resampler_)
            resampler_->drain(out);
        return Step::End;
    }
    return Step::Data;
}

} // namespace kb::mci::wave
