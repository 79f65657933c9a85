#pragma once

#include "platform/cdrom/DriveTable.h"

#include <string>
#include <vector>

namespace kb::cdrom {

// The machine's optical drives (/dev/sr0, /dev/sr1, ...) in device order, named from "D:".
std::vector<DriveEntry> physicalDrives();

enum class TrayState { NoInfo, NoDisc, TrayOpen, NotReady, DiscOk };

// What the drive reports about its tray and disc (ioctl CDROM_DRIVE_STATUS); cheap.
TrayState trayState(const std::string& device);

// Opens (true) or closes (false) the tray of a drive. Part of the disc library
// (kb_platform_cdrom, libcdio), not of the drive list.
bool moveTray(const std::string& device, bool open);

} // namespace kb::cdrom
