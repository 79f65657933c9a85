#include "platform/mci/MciErrors.h"
#include "platform/mci/waveaudio/AudioFile.h"
#include "platform/mci/waveaudio/WavHeader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <fstream>
#include <optional>

using namespace kb::mci;
using namespace kb::mci::wave;

namespace {

// A RIFF/WAVE file built byte by byte, so each test controls every field.
struct WavSpec {
    uint16_t tag = 1; // 1 PCM, 3 float, anything else a codec
    int channels = 2;
    int rate = 44100;
    int bits = 16;
    int frames = 5000;
    bool extensible = false;
    uint32_t mask = 0;
    std::string before; // chunks placed between "fmt " and "data"
    std::optional<uint32_t> dataSize; // what the header claims; the real size when unset
    int blockAlign = 0;               // 0: channels * bits / 8
};

void put(std::string& s, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string chunk(const char* id, const std::string& body)
{
    std::string s(id, 4);
    put(s, static_cast<uint32_t>(body.size()), 4);
    s += body;
    if (body.size() % 2)
        s.push_back('\0');
    return s;
}

// Full-scale noise, with float samples beyond +-1 so that clipping is exercised too.
std::string samples(const WavSpec& w)
{
    std::string data;
    uint32_t x = 12345;
    for (int i = 0; i < w.frames * w.channels; ++i) {
        x = x * 1664525u + 1013904223u;
        if (w.tag == 3)
            put(data, std::bit_cast<uint32_t>((static_cast<float>(x >> 8) / 8388608.0f - 1.0f) * 1.2f), 4);
        else
            put(data, x, w.bits / 8);
    }
    return data;
}

std::string wavBytes(const WavSpec& w)
{
    const int align = w.blockAlign ? w.blockAlign : w.channels * w.bits / 8;
    std::string fmt;
    put(fmt, w.extensible ? 0xFFFEu : w.tag, 2);
    put(fmt, static_cast<uint32_t>(w.channels), 2);
    put(fmt, static_cast<uint32_t>(w.rate), 4);
    put(fmt, static_cast<uint32_t>(w.rate * align), 4);
    put(fmt, static_cast<uint32_t>(align), 2);
    put(fmt, static_cast<uint32_t>(w.bits), 2);
    if (w.extensible) {
        put(fmt, 22, 2);
        put(fmt, static_cast<uint32_t>(w.bits), 2);
        put(fmt, w.mask, 4);
        put(fmt, w.tag, 2);
        fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    const std::string data = samples(w);
    std::string dataChunk = "data";
    put(dataChunk, w.dataSize.value_or(static_cast<uint32_t>(data.size())), 4);
    dataChunk += data;
    std::string body = "WAVE" + chunk("fmt ", fmt) + w.before + dataChunk;
    std::string file = "RIFF";
    put(file, static_cast<uint32_t>(body.size()), 4);
    return file + body;
}

std::string writeWav(kbtest::TempDir& dir, const std::string& name, const WavSpec& w)
{
    const auto path = dir.fileUtf8(QString::fromStdString(name));
    std::ofstream(path, std::ios::binary) << wavBytes(w);
    return path;
}

std::vector<int16_t> readAll(AudioFile& file, int64_t from)
{
    std::vector<int16_t> out;
    EXPECT_TRUE(file.seek(from));
    while (file.next(file.info().samples, out) == AudioFile::Step::Data) {
    }
    return out;
}

std::optional<WavLayout> layoutOf(const std::string& bytes)
{
    const ReadAt read = [&](int64_t offset, void* out, size_t size) -> size_t {
        if (offset < 0 || static_cast<size_t>(offset) >= bytes.size())
            return 0;
        const size_t n = std::min(size, bytes.size() - static_cast<size_t>(offset));
        std::memcpy(out, bytes.data() + offset, n);
        return n;
    };
    return readWavLayout(read, static_cast<int64_t>(bytes.size()));
}

} // namespace

TEST(PcmWav, GivesTheSameSamplesAsTheGeneralDecoder)
{
    kbtest::TempDir dir;
    struct Case {
        const char* name;
        WavSpec spec;
    };
    const Case cases[] = {
        {"s16 stereo 44.1k", {}},
        {"s16 mono 44.1k", {.channels = 1}},
        {"u8 mono 22.05k", {.channels = 1, .rate = 22050, .bits = 8}},
        {"s24 stereo 48k", {.rate = 48000, .bits = 24}},
        {"s24 stereo 44.1k", {.bits = 24}},
        {"s32 stereo 44.1k", {.bits = 32}},
        {"f32 stereo 44.1k", {.tag = 3, .bits = 32}},
        {"f32 mono 32k extensible", {.tag = 3, .channels = 1, .rate = 32000, .bits = 32, .extensible = true, .mask = 4}},
        {"s16 5.1 extensible", {.channels = 6, .extensible = true, .mask = 0x3F}},
        {"s16 quad plain", {.channels = 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = writeWav(dir, "case.wav", c.spec);
        AudioFile direct, general;
        ASSERT_EQ(direct.open(path), 0u);
        ASSERT_EQ(general.open(path, false), 0u);
        EXPECT_EQ(direct.info().rate, general.info().rate);
        EXPECT_EQ(direct.info().channels, general.info().channels);
        EXPECT_EQ(direct.info().blockAlign, general.info().blockAlign);
        ASSERT_EQ(direct.info().samples, general.info().samples);
        for (const int64_t from : {int64_t{0}, direct.info().samples / 3}) {
            const auto a = readAll(direct, from);
            const auto b = readAll(general, from);
            ASSERT_FALSE(a.empty());
            EXPECT_EQ(a, b) << "from " << from;
        }
    }
}

TEST(PcmWav, WalksChunksOfAnyLengthAndTrustsNoSize)
{
    // An odd-length chunk before the samples is padded to an even length.
    WavSpec odd;
    odd.before = chunk("LIST", "abcde") + chunk("junk", std::string(10, 'x'));
    auto layout = layoutOf(wavBytes(odd));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->frames, odd.frames);
    EXPECT_EQ(layout->dataOffset, 12 + 8 + 16 + 8 + 6 + 8 + 10 + 8);

    // A recorder that never wrote the size: the samples run to the end of the file; a
    // partial last frame is left out.
    WavSpec open;
    open.dataSize = 0xFFFFFFFFu;
    auto bytes = wavBytes(open) + "\x01";
    layout = layoutOf(bytes);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->frames, open.frames);
    EXPECT_FALSE(layout->truncated);

    // A size beyond the end is clamped, and marked.
    WavSpec lying;
    lying.dataSize = 1u << 30;
    layout = layoutOf(wavBytes(lying));
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->frames, lying.frames);
    EXPECT_TRUE(layout->truncated);

    // A chunk claiming gigabytes ends the walk without finding samples.
    WavSpec huge;
    huge.before = "LIST" + std::string("\xF0\xFF\xFF\x7F", 4);
    EXPECT_FALSE(layoutOf(wavBytes(huge)));

    // Not plain PCM, or not a layout read directly: left to the general decoder.
    for (const WavSpec& other : {WavSpec{.tag = 2}, WavSpec{.tag = 3, .bits = 64}, WavSpec{.bits = 12},
                                 WavSpec{.channels = 9}, WavSpec{.rate = 0}, WavSpec{.blockAlign = 6},
                                 WavSpec{.channels = 0}}) {
        SCOPED_TRACE(testing::Message() << other.tag << "/" << other.bits << "/" << other.channels);
        EXPECT_FALSE(layoutOf(wavBytes(other)));
    }
    const std::string whole = wavBytes(WavSpec{});
    for (const size_t cut : {size_t{0}, size_t{11}, size_t{12}, size_t{30}, size_t{43}})
        EXPECT_FALSE(layoutOf(whole.substr(0, cut))) << cut;
}

TEST(PcmWav, DamagedFilesAreRefusedAndCompressedOnesStillPlay)
{
    kbtest::TempDir dir;
    WavSpec lying;
    lying.dataSize = 1u << 20;
    AudioFile file;
    EXPECT_EQ(file.open(writeWav(dir, "lying.wav", lying)), static_cast<uint32_t>(MCIERR_INVALID_FILE));

    // 8-bit A-law is not plain PCM: FFmpeg decodes it.
    WavSpec alaw;
    alaw.tag = 6;
    alaw.bits = 8;
    AudioFile compressed;
    ASSERT_EQ(compressed.open(writeWav(dir, "alaw.wav", alaw)), 0u);
    EXPECT_EQ(compressed.info().samples, alaw.frames);
    EXPECT_EQ(readAll(compressed, 0).size(), static_cast<size_t>(alaw.frames) * 2);
}
