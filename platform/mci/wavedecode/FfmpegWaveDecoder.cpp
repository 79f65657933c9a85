#include "platform/mci/wavedecode/FfmpegWaveDecoder.h"

#include "platform/mci/DriverAbi.h"
#include "platform/mci/wavedecode/FfmpegAudioFile.h"
#include "platform/mci/wavedecode/FfmpegResampler.h"

namespace kb::mci::wave {

namespace {

AudioSource* openFile(const std::string& path, uint32_t& error)
{
    auto file = std::make_unique<FfmpegAudioFile>();
    error = file->open(path);
    return error == 0 ? file.release() : nullptr;
}

PcmResampler* makePcmResampler(const PcmFormat& format) { return FfmpegResampler::make(format).release(); }

} // namespace

const WaveDecoderEntry* ffmpegWaveDecoder()
{
    static const WaveDecoderEntry entry{kDriverAbiVersion, &openFile, &makePcmResampler};
    return &entry;
}

} // namespace kb::mci::wave
