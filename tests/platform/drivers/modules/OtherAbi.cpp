// A driver module built for another version of the driver interface.
#include "platform/mci/DriverAbi.h"

extern "C" __attribute__((visibility("default"))) const kb::mci::DriverEntry* kbMciDriverEntry()
{
    static const kb::mci::DriverEntry entry{kb::mci::kDriverAbiVersion + 1, nullptr};
    return &entry;
}
