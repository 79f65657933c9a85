#include "platform/mci/ModuleHandle.h"

#include <dlfcn.h>

#include <system_error>

namespace kb::mci {

void ModuleCloser::operator()(void* handle) const { dlclose(handle); }

ModuleHandle openModule(const std::string& path, std::string& error)
{
    ModuleHandle module(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!module) {
        const char* e = dlerror();
        error = e ? e : path + ": cannot be loaded";
    }
    return module;
}

void* moduleSymbol(const ModuleHandle& module, const char* name) { return module ? dlsym(module.get(), name) : nullptr; }

std::filesystem::path findModule(const std::vector<std::filesystem::path>& directories, const std::string& file)
{
    for (const auto& dir : directories) {
        std::error_code ec;
        if (std::filesystem::exists(dir / file, ec))
            return dir / file;
    }
    return {};
}

} // namespace kb::mci
