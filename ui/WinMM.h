#pragma once

#include <cstdint>

namespace kb::audio {
class OutputLevels;
}

// The program's volume functions over the platform's output levels: auxiliary devices
// (0 CD audio, 1 external input), wave output 0 and MIDI output 0. Results are 0 on
// success, MMSYSERR_BADDEVICEID (2) for a device that does not exist.
namespace kb::ui {

constexpr uint32_t kMmsyserrNoError = 0;
constexpr uint32_t kMmsyserrBadDeviceId = 2;

uint32_t auxGetNumDevs(const audio::OutputLevels& levels);
// technology: 1 CD audio, 2 auxiliary input.
uint32_t auxGetDevCaps(const audio::OutputLevels& levels, uint32_t device, int& technology);
uint32_t auxGetVolume(const audio::OutputLevels& levels, uint32_t device, uint32_t& packed);
uint32_t auxSetVolume(audio::OutputLevels& levels, uint32_t device, uint32_t packed);
uint32_t waveOutGetVolume(const audio::OutputLevels& levels, uint32_t device, uint32_t& packed);
uint32_t waveOutSetVolume(audio::OutputLevels& levels, uint32_t device, uint32_t packed);
uint32_t midiOutGetVolume(const audio::OutputLevels& levels, uint32_t device, uint32_t& packed);
uint32_t midiOutSetVolume(audio::OutputLevels& levels, uint32_t device, uint32_t packed);

} // namespace kb::ui
