#include "platform/builtin/BuiltinDevices.h"

#include "platform/mci/avivideo/AviVideoDevice.h"
#include "platform/mci/cdaudio/CdAudioDevice.h"
#include "platform/mci/sequencer/SequencerDevice.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"
#include "platform/mci/wavedecode/FfmpegWaveDecoder.h"

namespace kb::platform {

std::vector<mci::DeviceType> builtinDeviceTypes()
{
    mci::wave::useBuiltinWaveDecoder(mci::wave::ffmpegWaveDecoder());
    std::vector<mci::DeviceType> types;
    types.push_back(mci::waveAudioDeviceType());
    types.push_back(mci::cdAudioDeviceType());
    types.push_back(mci::sequencerDeviceType());
    types.push_back(mci::aviVideoDeviceType());
    return types;
}

} // namespace kb::platform
