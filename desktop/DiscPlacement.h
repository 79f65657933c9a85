#pragma once

#include "platform/cdrom/DriveTable.h"
#include "platform/cdrom/VirtualDriveFile.h"

#include <QString>

#include <vector>

namespace kb::desktop {

// Puts a disc image into a virtual drive so that CD mode can play it: the virtual drive that
// already holds it, else an empty one, else a new drive under the first free name from D:
// (physical drives keep theirs). Returns the drive name ("E:"), or "" with the reason in
// `why` when the image cannot be placed or the drive file not written.
QString placeDiscImage(const QString& image, const kb::cdrom::VirtualDriveFile& file,
                       const std::vector<kb::cdrom::DriveEntry>& physical, QString* why = nullptr);

} // namespace kb::desktop
