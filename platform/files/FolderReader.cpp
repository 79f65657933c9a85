#include "platform/files/FolderReader.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace kb::files {

namespace {

constexpr long kNtfs3Magic = 0x7366746e;
constexpr long kNtfsMagic = 0x5346544e;

// A descriptor closed with its owner.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool isDotOrDotDot(const char* n) { return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)); }

uint32_t bigEndian32(const unsigned char* b) { return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]; }
uint32_t littleEndian32(const unsigned char* b) { return uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0]; }

// Samba keeps the attributes as hexadecimal text ("0x20") at the start of its blob.
uint32_t sambaAttributes(const char* blob, ssize_t size)
{
    if (size < 3 || blob[0] != '0' || (blob[1] != 'x' && blob[1] != 'X'))
        return 0;
    uint32_t v = 0;
    for (ssize_t i = 2; i < size && i < 10 && blob[i]; ++i) {
        const char c = blob[i];
        const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (d < 0)
            break;
        v = v << 4 | uint32_t(d);
    }
    return v;
}

bool isShortNameChar(QChar c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
        return true;
    if (c >= u'0' && c <= u'9')
        return true;
    return QStringView(u"!#$%&'()-@^_`{}~").contains(c);
}

} // namespace

Credentials Credentials::current()
{
    Credentials c;
    c.uid = ::geteuid();
    c.groups.push_back(::getegid());
    const int n = ::getgroups(0, nullptr);
    if (n > 0) {
        std::vector<gid_t> more(static_cast<size_t>(n));
        const int got = ::getgroups(n, more.data());
        if (got > 0)
            c.groups.insert(c.groups.end(), more.begin(), more.begin() + got);
    }
    return c;
}

bool permits(mode_t mode, uid_t owner, gid_t group, const Credentials& who, int want)
{
    // The superuser may read anything; a file its owner may not write counts as read-only
    // for the superuser too.
    if (who.uid == 0)
        return want != 2 || (mode & S_IWUSR);
    int bits = int(mode) & 07;
    if (who.uid == owner)
        bits = (int(mode) >> 6) & 07;
    else if (std::find(who.groups.begin(), who.groups.end(), group) != who.groups.end())
        bits = (int(mode) >> 3) & 07;
    return (bits & want) == want;
}

QString validShortName(const QString& name)
{
    const qsizetype dot = name.indexOf(u'.');
    const QStringView base = dot < 0 ? QStringView(name) : QStringView(name).left(dot);
    const QStringView ext = dot < 0 ? QStringView() : QStringView(name).mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || ext.contains(u'.') || (dot >= 0 && ext.isEmpty()))
        return {};
    for (const QChar c : name) {
        if (c != u'.' && !isShortNameChar(c))
            return {};
    }
    return name;
}

FolderReader::FolderReader(const QString& folder) : who_(Credentials::current())
{
    fd_ = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        return;
    struct statfs fs {};
    if (::fstatfs(fd_, &fs) == 0) {
        const long type = long(fs.f_type);
        if (type == MSDOS_SUPER_MAGIC)
            kind_ = Kind::Fat;
        else if (type == kNtfs3Magic || type == kNtfsMagic || type == FUSE_SUPER_MAGIC)
            kind_ = Kind::Ntfs;
        else if (type == long(CIFS_SUPER_MAGIC) || type == long(SMB2_SUPER_MAGIC))
            kind_ = Kind::Smb;
        readOnlyMount_ = (fs.f_flags & ST_RDONLY) != 0;
    }
    // A folder shared by Samba carries the attributes of its files in an xattr of its own.
    char probe[64];
    if (kind_ == Kind::Plain && ::fgetxattr(fd_, "user.DOSATTRIB", probe, sizeof probe) > 0)
        kind_ = Kind::SambaStore;
}

FolderReader::~FolderReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::vector<FolderEntry> FolderReader::entries() const
{
    std::vector<FolderEntry> out;
    if (fd_ < 0)
        return out;
    if (kind_ == Kind::Fat) {
        out = fatEntries();
        if (!out.empty())
            return out;
    }
    // The stream gets a descriptor of its own so this folder's can keep serving fstatat.
    const int dupFd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    if (dupFd < 0)
        return out;
    DIR* dir = ::fdopendir(dupFd);
    if (!dir) {
        ::close(dupFd);
        return out;
    }
    ::rewinddir(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (isDotOrDotDot(e->d_name))
            continue;
        FolderEntry entry;
        entry.encoded = QByteArray(e->d_name);
        entry.name = QFile::decodeName(entry.encoded);
        out.push_back(std::move(entry));
    }
    ::closedir(dir);
    return out;
}

std::vector<FolderEntry> FolderReader::fatEntries() const
{
    std::vector<FolderEntry> out;
    const int dirFd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return out;
    Fd dir(dirFd);
    struct __fat_dirent both[2];
    for (;;) {
        std::memset(both, 0, sizeof both);
        if (::ioctl(dir.get(), VFAT_IOCTL_READDIR_BOTH, both) <= 0 || both[0].d_reclen == 0)
            break;
        both[0].d_name[sizeof both[0].d_name - 1] = 0;
        both[1].d_name[sizeof both[1].d_name - 1] = 0;
        // Without a long name of its own the short name is the name.
        const char* name = both[1].d_reclen ? both[1].d_name : both[0].d_name;
        if (isDotOrDotDot(name))
            continue;
        FolderEntry entry;
        entry.encoded = QByteArray(name);
        entry.name = QFile::decodeName(entry.encoded);
        entry.shortName = QFile::decodeName(QByteArray(both[0].d_name));
        out.push_back(std::move(entry));
    }
    return out;
}

FileFacts FolderReader::facts(const FolderEntry& entry) const
{
    FileFacts f;
    struct stat st {};
    if (fd_ < 0 || ::fstatat(fd_, entry.encoded.constData(), &st, 0) != 0)
        return f;
    if (S_ISDIR(st.st_mode)) {
        f.isFolder = true;
        return f;
    }
    f.exists = true;
    f.readable = permits(st.st_mode, st.st_uid, st.st_gid, who_, 4);
    f.writable = !readOnlyMount_ && permits(st.st_mode, st.st_uid, st.st_gid, who_, 2);
    f.size = int64_t(st.st_size);
    f.modified = int64_t(st.st_mtim.tv_sec);
    if (kind_ != Kind::Plain)
        f.dosAttributes = dosAttributes(entry.encoded);
    return f;
}

uint32_t FolderReader::dosAttributes(const QByteArray& name) const
{
    unsigned char buf[256] = {};
    // The xattr calls have no *at form: reach the file through this folder's descriptor.
    const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd_) + '/' + name;
    switch (kind_) {
    case Kind::Fat: {
        const int fileFd = ::openat(fd_, name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fileFd < 0)
            return 0;
        Fd file(fileFd);
        uint32_t attrs = 0;
        return ::ioctl(file.get(), FAT_IOCTL_GET_ATTRIBUTES, &attrs) == 0 ? attrs : 0;
    }
    case Kind::Ntfs: {
        // Both NTFS drivers (ntfs3 and ntfs-3g) answer the big-endian form.
        if (::getxattr(path.constData(), "system.ntfs_attrib_be", buf, 4) == 4)
            return bigEndian32(buf);
        return 0;
    }
    case Kind::Smb: {
        if (::getxattr(path.constData(), "system.cifs_attrib", buf, 4) == 4)
            return littleEndian32(buf);
        return 0;
    }
    case Kind::SambaStore: {
        const ssize_t n = ::getxattr(path.constData(), "user.DOSATTRIB", buf, sizeof buf);
        return n > 0 ? sambaAttributes(reinterpret_cast<const char*>(buf), n) : 0;
    }
    case Kind::Plain:
        break;
    }
    return 0;
}

} // namespace kb::files
