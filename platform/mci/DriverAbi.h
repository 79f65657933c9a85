#pragma once

#include "platform/mci/MciDevice.h"

#include <cstdint>

namespace kb::mci {

// Raised whenever a type that crosses the boundary to a driver or decoder module changes
// (Device, DeviceType, DeviceContext, the audio or drive interfaces, the audio file and wave
// decoder interfaces), so that a module built against other headers is refused instead of
// called.
inline constexpr uint32_t kDriverAbiVersion = 1;

// What a driver module hands out through its entry point.
struct DriverEntry {
    uint32_t abiVersion;
    DeviceType (*deviceType)();
};

// The name of the entry point every driver module exports (see KB_MCI_DRIVER).
inline constexpr const char* kDriverEntrySymbol = "kbMciDriverEntry";

using DriverEntryFunction = const DriverEntry* (*)();

} // namespace kb::mci

// Defines the entry point of a driver module over a function returning its DeviceType.
#define KB_MCI_DRIVER(deviceTypeFunction)                                                       \
    extern "C" __attribute__((visibility("default"))) const kb::mci::DriverEntry* kbMciDriverEntry() \
    {                                                                                           \
        static const kb::mci::DriverEntry entry{kb::mci::kDriverAbiVersion, &deviceTypeFunction}; \
        return &entry;                                                                          \
    }
