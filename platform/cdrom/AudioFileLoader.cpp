#include "platform/cdrom/AudioFileReader.h"

#include "platform/mci/DriverAbi.h"
#include "platform/mci/DriverRegistry.h"
#include "platform/mci/ModuleHandle.h"

namespace kb::cdrom {

std::unique_ptr<AudioFileReader> AudioFileReader::open(const std::string& path, std::string& error)
{
    const auto file = mci::findModule(mci::driverDirectories(), "audiofile.so");
    if (file.empty()) {
        error = "the audio file decoder (audiofile.so) is not installed";
        return nullptr;
    }
    // The module stays mapped after the handle closes, so the reader's code outlives it.
    const mci::ModuleHandle module = mci::openModule(file.string(), error);
    if (!module)
        return nullptr;
    using EntryFunction = const AudioFileEntry* (*)();
    const auto entryPoint = reinterpret_cast<EntryFunction>(mci::moduleSymbol(module, kAudioFileEntrySymbol));
    const AudioFileEntry* entry = entryPoint ? entryPoint() : nullptr;
    if (!entry || entry->abiVersion != mci::kDriverAbiVersion || !entry->open) {
        error = file.string() + ": not an audio file decoder for this program";
        return nullptr;
    }
    return std::unique_ptr<AudioFileReader>(entry->open(path, error));
}

} // namespace kb::cdrom
