#pragma once

#include "platform/cdrom/DriveTable.h"

#include <QString>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

class Settings;

// The commands of kobaltune-titles over one settings file. Each returns the process exit
// code (0 done, 1 failed, 2 wrong use, 3 a record with titles was kept), writes its output
// to `out` and its complaints to `err`.
struct TitleToolContext {
    const Settings& settings;
    // The machine's drives (physical and virtual), read when a command names a drive.
    std::function<std::vector<kb::cdrom::DriveEntry>()> drives;
    std::ostream& out;
    std::ostream& err;
};

constexpr int kExitKept = 3;

int runTitleCommand(const std::vector<std::string>& args, TitleToolContext& tool);
