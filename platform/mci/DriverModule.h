#pragma once

#include "platform/mci/MciDevice.h"
#include "platform/mci/ModuleHandle.h"

#include <memory>
#include <string>

namespace kb::mci {

// One loaded driver module and the device type it serves.
class DriverModule {
public:
    // Loads the module at `path` and takes the device type it hands out; nullptr with the
    // reason in `error` when the file is missing or unloadable, has no entry point, was built
    // for another driver interface, or serves a type other than `typeName`.
    static std::unique_ptr<DriverModule> load(const std::string& path, const std::string& typeName,
                                              std::string& error);

    DriverModule(ModuleHandle handle, DeviceType type);
    DriverModule(const DriverModule&) = delete;
    DriverModule& operator=(const DriverModule&) = delete;

    const DeviceType& type() const { return type_; }

private:
    // Declared first so that it is closed last: the device factory is code of the module.
    ModuleHandle handle_;
    DeviceType type_;
};

} // namespace kb::mci
