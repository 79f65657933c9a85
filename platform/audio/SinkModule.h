#pragma once

#include "platform/audio/AudioSink.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kb::audio {

// Raised whenever AudioSink or this entry changes, so that a module built against other
// headers is refused instead of called.
inline constexpr uint32_t kSinkModuleAbiVersion = 1;

// What a sound output module hands out through its entry point.
struct SinkModuleEntry {
    uint32_t abiVersion;
    // Opens the module's device for blocks of `periodFrames`; null when it cannot.
    std::unique_ptr<AudioSink> (*open)(size_t periodFrames);
};

inline constexpr const char* kSinkModuleEntrySymbol = "kbAudioSinkEntry";

using SinkModuleEntryFunction = const SinkModuleEntry* (*)();

} // namespace kb::audio

// Defines the entry point of a sound output module over its open function.
#define KB_AUDIO_SINK_MODULE(openFunction)                                                          \
    extern "C" __attribute__((visibility("default"))) const kb::audio::SinkModuleEntry* kbAudioSinkEntry() \
    {                                                                                               \
        static const kb::audio::SinkModuleEntry entry{kb::audio::kSinkModuleAbiVersion, &openFunction}; \
        return &entry;                                                                              \
    }
