#include "platform/mci/DriverAbi.h"
#include "platform/mci/waveaudio/WaveAudioDeviceType.h"

KB_MCI_DRIVER(kb::mci::waveAudioDeviceType)
