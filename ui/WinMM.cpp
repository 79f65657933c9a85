#include "ui/WinMM.h"

#include "platform/audio/OutputLevels.h"

namespace kb::ui {

using audio::Line;
using audio::OutputLevels;

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
    Line line;
    if (!OutputLevels::auxLine(int(device), line))
        return kMmsyserrBadDeviceId;
    packed = levels.get(line);
    return kMmsyserrNoError;
}

uint32_t auxSetVolume(OutputLevels& levels, uint32_t device, uint32_t packed)
{
    Line line;
    if (!OutputLevels::auxLine(int(device), line))
        return kMmsyserrBadDeviceId;
    levels.set(line, packed);
    return kMmsyserrNoError;
}

uint32_t waveOutGetVolume(const OutputLevels& levels, uint32_t device, uint32_t& packed)
{
    if (device != 0)
        return kMmsyserrBadDeviceId;
    packed = levels.get(Line::WaveOut0);
    return kMmsyserrNoError;
}

uint32_t waveOutSetVolume(OutputLevels& levels, uint32_t device, uint32_t packed)
{
    if (device != 0)
        return kMmsyserrBadDeviceId;
    levels.set(Line::WaveOut0, packed);
    return kMmsyserrNoError;
}

uint32_t midiOutGetVolume(const OutputLevels& levels, uint32_t device, uint32_t& packed)
{
    if (device != 0)
        return kMmsyserrBadDeviceId;
    packed = levels.get(Line::MidiOut0);
    return kMmsyserrNoError;
}

uint32_t midiOutSetVolume(OutputLevels& levels, uint32_t device, uint32_t packed)
{
    if (device != 0)
        return kMmsyserrBadDeviceId;
    levels.set(Line::MidiOut0, packed);
    return kMmsyserrNoError;
}

} // namespace kb::ui
