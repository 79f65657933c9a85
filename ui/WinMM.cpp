#include "ui/WinMM.h"

#include "platform/audio/OutputLevels.h"

#include <optional>

namespace kb::ui {

using audio::Line;
using audio::OutputLevels;

namespace {

std::optional<Line> auxLine(uint32_t device)
{
    Line line;
    if (!OutputLevels::auxLine(int(device), line))
        return std::nullopt;
    return line;
}

// Wave and MIDI output each have the one device 0.
std::optional<Line> onlyDevice(uint32_t device, Line line)
{
    if (device != 0)
        return std::nullopt;
    return line;
}

uint32_t getVolume(const OutputLevels& levels, std::optional<Line> line, uint32_t& packed)
{
    if (!line)
        return kMmsyserrBadDeviceId;
    packed = levels.get(*line);
    return kMmsyserrNoError;
}

uint32_t setVolume(OutputLevels& levels, std::optional<Line> line, uint32_t packed)
{
    if (!line)
        return kMmsyserrBadDeviceId;
    levels.set(*line, packed);
    return kMmsyserrNoError;
}

} // namespace

uint32_t auxGetNumDevs(const OutputLevels&) { return uint32_t(OutputLevels::auxDeviceCount()); }

uint32_t auxGetDevCaps(const OutputLevels&, uint32_t device, int& technology)
{
    const int tech = OutputLevels::auxTechnology(int(device));
    if (tech < 0)
        return kMmsyserrBadDeviceId;
    technology = tech;
    return kMmsyserrNoError;
}

uint32_t auxGetVolume(const OutputLevels& levels, uint32_t device, uint32_t& packed)
{
    return getVolume(levels, auxLine(device), packed);
}

uint32_t auxSetVolume(OutputLevels& levels, uint32_t device, uint32_t packed)
{
    return setVolume(levels, auxLine(device), packed);
}

uint32_t waveOutGetVolume(const OutputLevels& levels, uint32_t device, uint32_t& packed)
{
    return getVolume(levels, onlyDevice(device, Line::WaveOut0), packed);
}

uint32_t waveOutSetVolume(OutputLevels& levels, uint32_t device, uint32_t packed)
{
    return setVolume(levels, onlyDevice(device, Line::WaveOut0), packed);
}

uint32_t midiOutGetVolume(const OutputLevels& levels, uint32_t device, uint32_t& packed)
{
    return getVolume(levels, onlyDevice(device, Line::MidiOut0), packed);
}

uint32_t midiOutSetVolume(OutputLevels& levels, uint32_t device, uint32_t packed)
{
    return setVolume(levels, onlyDevice(device, Line::MidiOut0), packed);
}

} // namespace kb::ui
