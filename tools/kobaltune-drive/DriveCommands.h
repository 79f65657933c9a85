#pragma once

#include "platform/cdrom/VirtualDriveFile.h"

#include <ostream>
#include <string>
#include <vector>

// The commands of kobaltune-drive over a drive file. Each returns the process exit code and
// writes its output to `out`, its complaints to `err`.
int runDriveCommand(const std::vector<std::string>& args, const kb::cdrom::VirtualDriveFile& file,
                    std::ostream& out, std::ostream& err);
