#include "platform/mci/waveaudio/WaveDecoder.h"

#include "platform/mci/DriverAbi.h"
#include "platform/mci/DriverRegistry.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/ModuleHandle.h"

#include <cstdio>
#include <mutex>

namespace kb::mci::wave {

namespace {

struct DecoderState {
    std::mutex mutex;
    const WaveDecoderEntry* entry = nullptr;
    bool warned = false;
};

DecoderState& state()
{
    static DecoderState s;
    return s;
}

const WaveDecoderEntry* load(std::string& error)
{
    const auto file = findModule(driverDirectories(), kWaveDecoderModule);
    if (file.empty()) {
        error = std::string(kWaveDecoderModule) + " not found";
        return nullptr;
    }
    // The module stays mapped after the handle closes, so the entry outlives it.
    const ModuleHandle module = openModule(file.string(), error);
    if (!module)
        return nullptr;
    using EntryFunction = const WaveDecoderEntry* (*)();
    const auto entryPoint = reinterpret_cast<EntryFunction>(moduleSymbol(module, kWaveDecoderEntrySymbol));
    const WaveDecoderEntry* entry = entryPoint ? entryPoint() : nullptr;
    if (!entry || entry->abiVersion != kDriverAbiVersion || !entry->open || !entry->resampler) {
        error = file.string() + ": not a sound decoder for this program";
        return nullptr;
    }
    return entry;
}

} // namespace

const WaveDecoderEntry* waveDecoder()
{
    DecoderState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.entry)
        return s.entry;
    std::string error;
    s.entry = load(error);
    if (!s.entry && !s.warned) {
        s.warned = true;
        std::fprintf(stderr, "kobaltune: cannot load the sound decoder: %s\n", error.c_str());
    }
    return s.entry;
}

void useBuiltinWaveDecoder(const WaveDecoderEntry* entry)
{
    DecoderState& s = state();
    std::lock_guard lock(s.mutex);
    s.entry = entry;
}

std::unique_ptr<AudioSource> openDecoded(const std::string& path, uint32_t& error)
{
    const WaveDecoderEntry* decoder = waveDecoder();
    if (!decoder) {
        error = MCIERR_CANNOT_LOAD_DRIVER;
        return nullptr;
    }
    error = 0;
    std::unique_ptr<AudioSource> source(decoder->open(path, error));
    if (!source && error == 0)
        error = MCIERR_INVALID_FILE;
    return source;
}

std::unique_ptr<PcmResampler> makeResampler(const PcmFormat& format)
{
    const WaveDecoderEntry* decoder = waveDecoder();
    return std::unique_ptr<PcmResampler>(decoder ? decoder->resampler(format) : nullptr);
}

} // namespace kb::mci::wave
