#include "platform/mci/wavedecode/FfmpegWaveDecoder.h"

extern "C" __attribute__((visibility("default"))) const kb::mci::wave::WaveDecoderEntry* kbWaveDecoderEntry()
{
    return kb::mci::wave::ffmpegWaveDecoder();
}
