#include "platform/mci/DriverModule.h"

#include "platform/mci/DriverAbi.h"

namespace kb::mci {

std::unique_ptr<DriverModule> DriverModule::load(const std::string& path, const std::string& typeName,
                                                 std::string& error)
{
    ModuleHandle handle = openModule(path, error);
    if (!handle)
        return nullptr;
    auto entryPoint = reinterpret_cast<DriverEntryFunction>(moduleSymbol(handle, kDriverEntrySymbol));
    if (!entryPoint) {
        error = path + ": no driver entry point";
        return nullptr;
    }
    const DriverEntry* entry = entryPoint();
    if (!entry || entry->abiVersion != kDriverAbiVersion || !entry->deviceType) {
        error = path + ": built for driver interface " + (entry ? std::to_string(entry->abiVersion) : "?")
                + ", this program has " + std::to_string(kDriverAbiVersion);
        return nullptr;
    }
    DeviceType type = entry->deviceType();
    if (type.name != typeName || !type.create) {
        error = path + ": serves \"" + type.name + "\", not \"" + typeName + "\"";
        return nullptr;
    }
    return std::make_unique<DriverModule>(std::move(handle), std::move(type));
}

DriverModule::DriverModule(ModuleHandle handle, DeviceType type) : handle_(std::move(handle)), type_(std::move(type)) {}

} // namespace kb::mci
