#include "platform/mci/DriverAbi.h"
#include "platform/mci/cdaudio/CdAudioDevice.h"

KB_MCI_DRIVER(kb::mci::cdAudioDeviceType)
