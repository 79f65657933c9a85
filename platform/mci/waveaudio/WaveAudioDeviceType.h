#pragma once

#include "platform/mci/MciDevice.h"

namespace kb::mci {

// "waveaudio": WAV and MP3 files.
DeviceType waveAudioDeviceType();

} // namespace kb::mci
