#include "platform/audio/WavWriter.h"

#include <array>
#include <bit>

namespace kb::audio {

namespace {

void putLe(uint8_t* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

bool WavWriter::open(const std::string& path, int rate, int channels)
{
    file_.reset(std::fopen(path.c_str(), "w+b"));
    if (!file_)
        return false;
    rate_ = rate;
    channels_ = channels;
    frames_ = 0;
    writeHeader();
    return true;
}

void WavWriter::append(const int16_t* interleaved, size_t frames)
{
    if (!file_ || frames == 0)
        return;
    const size_t samples = frames * static_cast<size_t>(channels_);
    if constexpr (std::endian::native == std::endian::little) {
        std::fwrite(interleaved, sizeof(int16_t), samples, file_.get());
    } else {
        for (size_t i = 0; i < samples; ++i) {
            std::array<uint8_t, 2> b{};
            putLe(b.data(), static_cast<uint16_t>(interleaved[i]), 2);
            std::fwrite(b.data(), 1, 2, file_.get());
        }
    }
    frames_ += static_cast<int64_t>(frames);
    writeHeader();
    std::fseek(file_.get(), 0, SEEK_END);
    std::fflush(file_.get());
}

void WavWriter::writeHeader()
{
    const uint32_t blockAlign = static_cast<uint32_t>(channels_) * 2;
    const uint32_t dataBytes = static_cast<uint32_t>(frames_) * blockAlign;
    std::array<uint8_t, 44> h{};
    auto tag = [&](size_t at, const char* text) {
        for (int i = 0; i < 4; ++i)
            h[at + i] = static_cast<uint8_t>(text[i]);
    };
    tag(0, "RIFF");
    putLe(&h[4], 36 + dataBytes, 4);
    tag(8, "WAVE");
    tag(12, "fmt ");
    putLe(&h[16], 16, 4);
    putLe(&h[20], 1, 2);
    putLe(&h[22], static_cast<uint32_t>(channels_), 2);
    putLe(&h[24], static_cast<uint32_t>(rate_), 4);
    putLe(&h[28], static_cast<uint32_t>(rate_) * blockAlign, 4);
    putLe(&h[32], blockAlign, 2);
    putLe(&h[34], 16, 2);
    tag(36, "data");
    putLe(&h[40], dataBytes, 4);
    std::fseek(file_.get(), 0, SEEK_SET);
    std::fwrite(h.data(), 1, h.size(), file_.get());
}

} // namespace kb::audio
