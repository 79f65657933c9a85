#pragma once

#include "platform/mci/MciDevice.h"

namespace kb::mci {

// The "cdaudio" device type: audio CDs in physical and virtual drives. Opened with a drive
// name ("D:"), or bare for the first drive. No file extensions open it.
DeviceType cdAudioDeviceType();

} // namespace kb::mci
