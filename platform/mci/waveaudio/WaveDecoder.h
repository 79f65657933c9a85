#pragma once

#include "platform/mci/waveaudio/AudioSource.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kb::mci::wave {

// The general decoder (FFmpeg) for every file that is not plain PCM WAV, and the resampler
// for PCM at other rates. It is a module of its own (wavedecode.so beside the drivers),
// loaded the first time a file needs it, so that plain WAV files never map FFmpeg.
// The module exports this, checked against kDriverAbiVersion before use.
struct WaveDecoderEntry {
    uint32_t abiVersion;
    // Returns an object the caller owns, or nullptr with an MCI error number in `error`.
    AudioSource* (*open)(const std::string& path, uint32_t& error);
    // Returns an object the caller owns, or nullptr when the format cannot be converted.
    PcmResampler* (*resampler)(const PcmFormat& format);
};
inline constexpr const char* kWaveDecoderEntrySymbol = "kbWaveDecoderEntry";
inline constexpr const char* kWaveDecoderModule = "wavedecode.so";

// The decoder, loaded from the driver directories on first use; nullptr when the module is
// missing or unusable (tried again on the next call).
const WaveDecoderEntry* waveDecoder();

// Makes `entry` the decoder instead of the module, for programs that link it in.
void useBuiltinWaveDecoder(const WaveDecoderEntry* entry);

// Opens `path` with the decoder; nullptr with an MCI error in `error`, which is
// MCIERR_CANNOT_LOAD_DRIVER when there is no decoder.
std::unique_ptr<AudioSource> openDecoded(const std::string& path, uint32_t& error);

// A resampler for `format`; nullptr when there is no decoder or it cannot convert it.
std::unique_ptr<PcmResampler> makeResampler(const PcmFormat& format);

} // namespace kb::mci::wave
