#include "platform/mci/DriverAbi.h"
#include "platform/mci/sequencer/SequencerDevice.h"

KB_MCI_DRIVER(kb::mci::sequencerDeviceType)
