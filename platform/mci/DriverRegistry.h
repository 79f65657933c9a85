#pragma once

#include "platform/mci/MciDevice.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kb::mci {

// A device type the service knows before its driver module is loaded.
struct DriverInfo {
    std::string name;                    // "waveaudio"; the module is "<name>.so"
    std::vector<std::string> extensions; // lower case, with the dot
};

// Every device type the service offers, in the order extensions are matched.
std::vector<DriverInfo> knownDrivers();

// Where driver modules are looked for, first match wins: $KOBALTUNE_DRIVER_DIR alone when
// set; else the library folder beside the executable's (installed and build-tree layouts),
// then the build tree this copy was built in.
std::vector<std::filesystem::path> driverDirectories();

// The known device types, each loading its module from `directories` on its first create.
// A module that cannot be loaded makes create return nullptr (the open fails with
// MCIERR_CANNOT_LOAD_DRIVER); the next open tries again.
std::vector<DeviceType> driverDeviceTypes(std::vector<std::filesystem::path> directories);

} // namespace kb::mci
