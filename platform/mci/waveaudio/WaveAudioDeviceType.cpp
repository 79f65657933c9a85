#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "platform/mci/waveaudio/WaveAudioDevice.h"

namespace kb::mci {

DeviceType waveAudioDeviceType()
{
    DeviceType type;
    type.name = "waveaudio";
    type.extensions = {".wav", ".mp3"};
    type.create = [](const DeviceContext& context) -> std::unique_ptr<Device> {
        return std::make_unique<wave::WaveAudioDevice>(context);
    };
    return type;
}

} // namespace kb::mci
