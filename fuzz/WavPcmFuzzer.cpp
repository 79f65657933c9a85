// The plain PCM WAV reader on hostile files: the chunk walk from memory must never claim
// more samples than the file holds, and reading from the start and the middle must stay
// within what was asked for.
#include "fuzz/support/FuzzFiles.h"
#include "platform/mci/waveaudio/PcmWavFile.h"
#include "platform/mci/waveaudio/WavHeader.h"
#include "platform/mci/wavedecode/FfmpegWaveDecoder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void walkInMemory(const uint8_t* data, size_t size)
{
    const kb::mci::wave::ReadAt read = [&](int64_t offset, void* out, size_t bytes) -> size_t {
        if (offset < 0 || static_cast<uint64_t>(offset) >= size)
            return 0;
        const size_t n = std::min(bytes, size - static_cast<size_t>(offset));
        std::memcpy(out, data + offset, n);
        return n;
    };
    const auto layout = kb::mci::wave::readWavLayout(read, static_cast<int64_t>(size));
    if (!layout)
        return;
    check(layout->blockAlign > 0 && layout->frames >= 0);
    check(layout->dataOffset + layout->frames * layout->blockAlign <= static_cast<int64_t>(size));
}

void readFile(const uint8_t* data, size_t size)
{
    const QString path = kbfuzz::writeInput("input.wav", data, size);
    if (path.isEmpty())
        return;
    kb::mci::wave::PcmWavFile file;
    if (file.open(path.toStdString()) != kb::mci::wave::PcmWavFile::Opened::Yes)
        return;
    const int64_t samples = file.info().samples;
    std::vector<int16_t> out;
    for (const int64_t from : {int64_t{0}, samples / 2}) {
        check(file.seek(from));
        out.clear();
        const int64_t end = std::min(samples, from + 20000);
        while (file.next(end, out) == kb::mci::wave::Step::Data) {
        }
        check(out.size() % 2 == 0);
        // Output is at the output rate; a resampled piece may run a little long.
        const int64_t expected = (end - from) * 44100 / file.info().rate;
        check(static_cast<int64_t>(out.size() / 2) <= expected + 64);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    av_log_set_level(AV_LOG_QUIET);
    kb::mci::wave::useBuiltinWaveDecoder(kb::mci::wave::ffmpegWaveDecoder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 512 * 1024)
        return 0;
    walkInMemory(data, size);
    readFile(data, size);
    return 0;
}
