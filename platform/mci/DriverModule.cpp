#include "platform/mci/DriverModule.h"

#include "platform/mci/DriverAbi.h"

#include <dlfcn.h>

namespace kb::mci {

namespace {

struct HandleCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

std::string lastError()
{
    const char* e = dlerror();
    return e ? e : "unknown error";
}

} // namespace

std::unique_ptr<DriverModule> DriverModule::load(const std::string& path, const std::string& typeName,
                                                 std::string& error)
{
    Handle handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle) {
        error = lastError();
        return nullptr;
    }
    dlerror();
    auto entryPoint = reinterpret_cast<DriverEntryFunction>(dlsym(handle.get(), kDriverEntrySymbol));
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
    return std::make_unique<DriverModule>(handle.release(), std::move(type));
}

DriverModule::DriverModule(void* handle, DeviceType type) : handle_(handle), type_(std::move(type)) {}

DriverModule::~DriverModule()
{
    // The device factory is code of the module: drop it before the handle goes.
    type_ = {};
    dlclose(handle_);
}

} // namespace kb::mci
