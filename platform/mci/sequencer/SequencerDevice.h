#pragma once

#include "platform/mci/MciDevice.h"

#include <string>

namespace kb::mci {

// The "sequencer" device: Standard MIDI Files (.mid, .midi, .rmi) played through FluidSynth
// with the installed General MIDI SoundFont, into MIDI output 0.
DeviceType sequencerDeviceType();

// The same device with a chosen SoundFont (an empty or missing path fails every open).
std::unique_ptr<Device> makeSequencerDevice(const DeviceContext& context, std::string soundFont);

} // namespace kb::mci
