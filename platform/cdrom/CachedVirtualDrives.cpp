#include "platform/cdrom/CachedVirtualDrives.h"

#include <QFile>

#include <sys/stat.h>

namespace kb::cdrom {

bool CachedVirtualDrives::Stamp::operator==(const Stamp& o) const
{
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size
        && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
}

CachedVirtualDrives::Stamp CachedVirtualDrives::stampNow() const
{
    Stamp s;
    struct stat st {};
    if (::stat(QFile::encodeName(file_.path()).constData(), &st) == 0) {
        s.exists = true;
        s.device = st.st_dev;
        s.inode = st.st_ino;
        s.size = st.st_size;
        s.modified = st.st_mtim;
    }
    return s;
}

const std::vector<VirtualDrive>& CachedVirtualDrives::drives()
{
    const Stamp now = stampNow();
    if (!stamp_ || !(*stamp_ == now)) {
        drives_ = file_.read();
        stamp_ = now;
    }
    return drives_;
}

} // namespace kb::cdrom
