#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/cdrom/DriveTable.h"
#include "platform/mci/MciDevice.h"
#include "platform/mci/MciService.h"

#include <memory>
#include <vector>

namespace kb::platform {

// The platform services one program run uses, built together so that the media control
// service's devices share one sound output and one drive table.
struct Platform {
    std::unique_ptr<audio::AudioEngine> audio;
    std::unique_ptr<cdrom::DriveTable> drives;
    std::unique_ptr<mci::MciService> mci;
};

// The sound output comes from SinkChoice::fromEnvironment() unless one is given. The device
// types are the driver modules (loaded on first open) unless others are given.
std::unique_ptr<Platform> makePlatform();
std::unique_ptr<Platform> makePlatform(const audio::SinkChoice& sink);
std::unique_ptr<Platform> makePlatform(const audio::SinkChoice& sink, std::vector<mci::DeviceType> types);

} // namespace kb::platform
