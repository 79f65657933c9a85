#pragma once

#include "platform/mci/MciDevice.h"

#include <memory>
#include <string>

namespace kb::mci {

// One loaded driver module. Its code stays mapped for the rest of the process even after
// the handle is closed: threads a device's libraries started and their exit handlers may
// still run code from it after the last device is gone.
class DriverModule {
public:
    // Loads the module at `path` and takes the device type it hands out; nullptr with the
    // reason in `error` when the file is missing or unloadable, has no entry point, was built
    // for another driver interface, or serves a type other than `typeName`.
    static std::unique_ptr<DriverModule> load(const std::string& path, const std::string& typeName,
                                              std::string& error);

    // Takes ownership of a dlopen handle.
    DriverModule(void* handle, DeviceType type);
    ~DriverModule();
    DriverModule(const DriverModule&) = delete;
    DriverModule& operator=(const DriverModule&) = delete;

    const DeviceType& type() const { return type_; }

private:
    void* handle_;
    DeviceType type_;
};

} // namespace kb::mci
