#pragma once

#include "platform/mci/MciDevice.h"

namespace kb::mci {

// The "avivideo" device: video files (AVI, MPEG) decoded with FFmpeg; the picture goes
// into a window of the program or a window of its own, the sound to wave output 0, and
// the picture follows the sound's clock. Sound-only MPEG files play as sound alone.
DeviceType aviVideoDeviceType();

} // namespace kb::mci
