#pragma once

#include "platform/mci/waveaudio/WaveDecoder.h"

namespace kb::mci::wave {

// The FFmpeg decoder and resampler: what wavedecode.so exports, and what programs that link
// the devices in hand to useBuiltinWaveDecoder.
const WaveDecoderEntry* ffmpegWaveDecoder();

} // namespace kb::mci::wave
