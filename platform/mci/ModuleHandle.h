#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace kb::mci {

struct ModuleCloser {
    void operator()(void* handle) const;
};

// A loaded shared module. Its code stays mapped for the rest of the process even after the
// handle is closed: threads its libraries started and their exit handlers may still run
// code from it after the last object it made is gone.
using ModuleHandle = std::unique_ptr<void, ModuleCloser>;

// Loads the module at `path` with every symbol resolved now; null with the reason in `error`.
ModuleHandle openModule(const std::string& path, std::string& error);

// The address of an exported symbol, or null.
void* moduleSymbol(const ModuleHandle& module, const char* name);

// `file` in the first of `directories` that holds it; empty when none does.
std::filesystem::path findModule(const std::vector<std::filesystem::path>& directories, const std::string& file);

} // namespace kb::mci
