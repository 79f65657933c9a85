#pragma once

#include <QString>

#include <string>
#include <vector>

namespace kb::cdrom {

// One virtual drive as the drive file keeps it. A drive whose door is open holds no disc
// but remembers the image that closing the door puts back.
struct VirtualDrive {
    std::string name;       // "E:"
    std::string image;      // absolute image path, "" when empty
    bool doorOpen = false;
    std::string trayImage;  // the image waiting in the open tray, "" when none
};

// The user's virtual drives, kept in drives.ini under $XDG_CONFIG_HOME/Kobaltune/. The
// file is shared between the player and the kobaltune-drive tool; it is rewritten whole
// and atomically, so a reader never sees half a file.
class VirtualDriveFile {
public:
    // The default location, or an explicit file (tests, tools).
    VirtualDriveFile();
    explicit VirtualDriveFile(QString path);

    const QString& path() const { return path_; }

    // The drives in drive-name order; an absent or unreadable file is an empty list.
    std::vector<VirtualDrive> read() const;
    // False when the file cannot be written (the old file then stays as it was), or when an
    // image path cannot be stored (see storableImagePath).
    bool write(const std::vector<VirtualDrive>& drives) const;

    // Whether a line of the file can hold this image path so that it reads back the same:
    // valid UTF-8, no control characters (a line break would split the line), no blanks
    // at either end (reading trims them). When not, `why` says what is wrong.
    static bool storableImagePath(const std::string& path, std::string& why);

    static QString defaultPath();

private:
    QString path_;
};

} // namespace kb::cdrom
