#include "platform/mci/DriverAbi.h"
#include "platform/mci/avivideo/AviVideoDevice.h"

KB_MCI_DRIVER(kb::mci::aviVideoDeviceType)
