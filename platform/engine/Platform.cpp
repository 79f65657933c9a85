#include "platform/engine/Platform.h"

#include "platform/mci/DriverRegistry.h"
#include "platform/mci/ServiceFactory.h"

namespace kb::platform {

std::unique_ptr<Platform> makePlatform() { return makePlatform(audio::SinkChoice::fromEnvironment()); }

std::unique_ptr<Platform> makePlatform(const audio::SinkChoice& sink)
{
    return makePlatform(sink, mci::driverDeviceTypes(mci::driverDirectories()));
}

std::unique_ptr<Platform> makePlatform(const audio::SinkChoice& sink, std::vector<mci::DeviceType> types)
{
    auto p = std::make_unique<Platform>();
    p->audio = audio::AudioEngine::create(sink);
    p->drives = cdrom::makeSystemDriveTable();
    p->mci = mci::makeMciService(std::move(types), p->audio.get(), p->drives.get());
    return p;
}

} // namespace kb::platform
