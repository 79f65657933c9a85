#include "platform/mci/DriverRegistry.h"

#include "platform/mci/DriverModule.h"
#include "platform/mci/ModuleHandle.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace kb::mci {

namespace {

// Loads one type's module on the first create and keeps it for the devices it makes. The
// service calls create under its command lock; the mutex keeps copies of the type safe too.
class LazyDriver {
public:
    LazyDriver(std::string name, std::vector<std::filesystem::path> directories)
        : name_(std::move(name)), directories_(std::move(directories))
    {
    }

    std::unique_ptr<Device> create(const DeviceContext& context)
    {
        std::lock_guard lock(mutex_);
        if (!module_ && !load())
            return nullptr;
        return module_->type().create(context);
    }

private:
    bool load()
    {
        const std::string file = name_ + ".so";
        const std::filesystem::path path = findModule(directories_, file);
        std::string error;
        if (path.empty())
            error = file + " not found";
        else
            module_ = DriverModule::load(path.string(), name_, error);
        if (!module_ && !warned_) {
            warned_ = true;
            std::fprintf(stderr, "kobaltune: cannot load the %s driver: %s\n", name_.c_str(), error.c_str());
        }
        return module_ != nullptr;
    }

    const std::string name_;
    const std::vector<std::filesystem::path> directories_;
    std::mutex mutex_;
    std::unique_ptr<DriverModule> module_;
    bool warned_ = false;
};

std::filesystem::path executableDirectory()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

} // namespace

std::vector<DriverInfo> knownDrivers()
{
    return {
        {"waveaudio", {".wav", ".mp3"}},
        {"cdaudio", {}},
        {"sequencer", {".mid", ".midi", ".rmi"}},
        {"avivideo", {".avi", ".mpeg", ".mpg", ".mpe", ".mpv", ".m1v", ".mp2", ".mpv2", ".mp2v", ".mpa"}},
    };
}

std::vector<std::filesystem::path> driverDirectories()
{
    if (const char* dir = std::getenv("KOBALTUNE_DRIVER_DIR"); dir && *dir)
        return {dir};
    std::vector<std::filesystem::path> dirs;
    if (const auto exeDir = executableDirectory(); !exeDir.empty()) {
        dirs.push_back(exeDir / ".." / KOBALTUNE_DRIVER_LIBDIR / "kobaltune");
        dirs.push_back(exeDir / ".." / "lib" / "kobaltune");
    }
    dirs.emplace_back(KOBALTUNE_DRIVER_BUILD_DIR);
    return dirs;
}

std::vector<DeviceType> driverDeviceTypes(std::vector<std::filesystem::path> directories)
{
    std::vector<DeviceType> types;
    for (DriverInfo& info : knownDrivers()) {
        auto driver = std::make_shared<LazyDriver>(info.name, directories);
        types.push_back(DeviceType{std::move(info.name), std::move(info.extensions),
                                   [driver](const DeviceContext& context) { return driver->create(context); }});
    }
    return types;
}

} // namespace kb::mci
