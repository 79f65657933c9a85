#pragma once

#include "platform/cdrom/DriveTable.h"
#include "platform/cdrom/VirtualDriveFile.h"

#include <vector>

namespace kb::cdrom {

// Physical drives plus the virtual drives of `file` whose names no physical drive takes,
// in drive-name order.
std::vector<DriveEntry> listDrives(const VirtualDriveFile& file);

// Whether the drive holds a disc, as far as it can be told without reading it: a virtual
// drive when it has an image, a physical drive when its tray reports a disc.
bool driveHasDisc(const DriveEntry& drive);

} // namespace kb::cdrom
