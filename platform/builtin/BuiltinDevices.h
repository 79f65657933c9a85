#pragma once

#include "platform/mci/MciDevice.h"

#include <vector>

namespace kb::platform {

// The four device types with their code linked into the program instead of loaded from
// driver modules; the waveaudio decoder is linked in too.
std::vector<mci::DeviceType> builtinDeviceTypes();

} // namespace kb::platform
