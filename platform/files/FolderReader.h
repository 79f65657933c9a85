#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace kb::files {

// One name of a folder, with the short (8.3) name the file system keeps for it, if any.
struct FolderEntry {
    QString name;
    QByteArray encoded; // the name as the file system spells it
    QString shortName;
};

// What the folder listing shows of one file.
struct FileFacts {
    bool exists = false;     // a file that could be looked at
    bool isFolder = false;
    bool readable = false;   // the user may open it for reading
    bool writable = false;   // the user may change it (the file system is not read-only)
    int64_t size = 0;
    int64_t modified = 0;    // seconds since the epoch
    uint32_t dosAttributes = 0; // FAT/NTFS bits the file system keeps: 0x1 R, 0x2 H, 0x4 S, 0x20 A
};

namespace dosattr {
constexpr uint32_t ReadOnly = 0x1;
constexpr uint32_t Hidden = 0x2;
constexpr uint32_t System = 0x4;
constexpr uint32_t Archive = 0x20;
} // namespace dosattr

// Who is asking: the effective user and its groups.
struct Credentials {
    uid_t uid = 0;
    std::vector<gid_t> groups; // the effective group first
    static Credentials current();
};

// Whether the permission bits of `mode` let `who` read (want 4) or write (want 2) a file
// owned by owner:group. The superuser reads everything and writes what its owner may.
bool permits(mode_t mode, uid_t owner, gid_t group, const Credentials& who, int want);

// The name itself when it already is a valid 8.3 name (letter case aside), else empty.
QString validShortName(const QString& name);

// Reads one folder: its names (in the file system's order) and each file's facts. Where the
// file system keeps FAT attributes and short names (vfat, NTFS, SMB), they are read too.
class FolderReader {
public:
    explicit FolderReader(const QString& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Every name but "." and "..".
    std::vector<FolderEntry> entries() const;
    FileFacts facts(const FolderEntry& entry) const;

private:
    enum class Kind { Plain, Fat, Ntfs, Smb, SambaStore };
    std::vector<FolderEntry> fatEntries() const;
    uint32_t dosAttributes(const QByteArray& name) const;

    int fd_ = -1;
    Kind kind_ = Kind::Plain;
    bool readOnlyMount_ = false;
    Credentials who_;
};

} // namespace kb::files
