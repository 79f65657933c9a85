#pragma once

#include "platform/mci/MciDevice.h"
#include "platform/mci/MciService.h"

#include <memory>
#include <vector>

namespace kb::mci {

// The media control service over the given device types. audio and drives are handed to
// the devices it opens; they must outlive the service.
std::unique_ptr<MciService> makeMciService(std::vector<DeviceType> types,
                                           audio::AudioEngine* audio,
                                           cdrom::DriveTable* drives);

} // namespace kb::mci
