#include "platform/cdrom/DriveList.h"

#include "platform/cdrom/PhysicalDrives.h"

#include <algorithm>

namespace kb::cdrom {

std::vector<DriveEntry> listDrives(const VirtualDriveFile& file)
{
    std::vector<DriveEntry> out = physicalDrives();
    const size_t physicalCount = out.size();
    for (const VirtualDrive& v : file.read()) {
        const bool taken = std::any_of(out.begin(), out.begin() + physicalCount,
                                       [&](const DriveEntry& e) { return e.name == v.name; });
        if (taken)
            continue;
        DriveEntry e;
        e.name = v.name;
        e.isVirtual = true;
        e.source = v.doorOpen ? "" : v.image;
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.name < b.name; });
    return out;
}

bool driveHasDisc(const DriveEntry& drive)
{
    if (drive.isVirtual)
        return !drive.source.empty();
    return trayState(drive.source) == TrayState::DiscOk;
}

} // namespace kb::cdrom
