#pragma once

#include "platform/cdrom/VirtualDriveFile.h"

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <utility>
#include <vector>

namespace kb::cdrom {

// The drive file as last read, read again only when it changed on disk. A device asks for
// its drive on every status query, so this keeps file parsing off that path: a stat is all
// a query costs while nothing changes. Every write replaces the file by a rename, so its
// inode, size or modification time always differ afterwards.
class CachedVirtualDrives {
public:
    CachedVirtualDrives() = default;
    explicit CachedVirtualDrives(VirtualDriveFile file) : file_(std::move(file)) {}

    const std::vector<VirtualDrive>& drives();

private:
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const Stamp& o) const;
    };
    Stamp stampNow() const;

    VirtualDriveFile file_;
    std::optional<Stamp> stamp_;
    std::vector<VirtualDrive> drives_;
};

} // namespace kb::cdrom
