#include "platform/engine/Platform.h"

#include "platform/mci/ServiceFactory.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "platform/mci/cdaudio/CdAudioDevice.h"
#include "platform/mci/sequencer/SequencerDevice.h"
#include "platform/mci/avivideo/AviVideoDevice.h"

namespace kb::platform {

namespace {

std::vector<mci::DeviceType> deviceTypes()
{
    std::vector<mci::DeviceType> types;
    types.push_back(mci::waveAudioDeviceType());
    types.push_back(mci::cdAudioDeviceType());
    types.push_back(mci::sequencerDeviceType());
    types.push_back(mci::aviVideoDeviceType());
    return types;
}

} // namespace

std::unique_ptr<Platform> makePlatform() { return makePlatform(audio::SinkChoice::fromEnvironment()); }

std::unique_ptr<Platform> makePlatform(const audio::SinkChoice& sink)
{
    auto p = std::make_unique<Platform>();
    p->audio = audio::AudioEngine::create(sink);
    p->drives = cdrom::makeSystemDriveTable();
    p->mci = mci::makeMciService(deviceTypes(), p->audio.get(), p->drives.get());
    return p;
}

} // namespace kb::platform
