#include "platform/audio/AudioSink.h"
#include "platform/audio/SinkModule.h"
#include "platform/mci/DriverRegistry.h"
#include "platform/mci/ModuleHandle.h"

#include <cstdio>
#include <mutex>

namespace kb::audio {

namespace {

constexpr const char* kModuleFile = "sdlsink.so";

// The module's entry, loaded once per process; its handle is kept for the process's life,
// since sinks it made may be open anywhere. Null when it cannot be loaded; the next call
// tries again.
const SinkModuleEntry* sdlEntry()
{
    static std::mutex mutex;
    static mci::ModuleHandle module;
    static const SinkModuleEntry* entry = nullptr;
    std::lock_guard lock(mutex);
    if (entry)
        return entry;
    const auto path = mci::findModule(mci::driverDirectories(), kModuleFile);
    std::string error = std::string(kModuleFile) + " not found";
    if (!path.empty())
        module = mci::openModule(path.string(), error);
    if (module) {
        const auto entryPoint = reinterpret_cast<SinkModuleEntryFunction>(mci::moduleSymbol(module, kSinkModuleEntrySymbol));
        const SinkModuleEntry* found = entryPoint ? entryPoint() : nullptr;
        if (found && found->abiVersion == kSinkModuleAbiVersion && found->open)
            entry = found;
        else
            error = path.string() + ": not a sound output module of this program's interface";
    }
    if (!entry)
        std::fprintf(stderr, "kobaltune: cannot load the sound output module: %s\n", error.c_str());
    return entry;
}

} // namespace

std::unique_ptr<AudioSink> openSdlSinkModule(size_t periodFrames)
{
    const SinkModuleEntry* entry = sdlEntry();
    return entry ? entry->open(periodFrames) : nullptr;
}

} // namespace kb::audio
