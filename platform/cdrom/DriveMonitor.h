#pragma once

#include "platform/cdrom/VirtualDriveFile.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QSocketNotifier;

namespace kb::cdrom {

// Watches every drive for a disc arriving or leaving: the drive file (changed by the
// kobaltune-drive tool or by the player's own door commands) through a file watcher,
// physical drives through udev media-change events, and a slow poll as a backstop where
// neither reports. Calls `changed(code, drive)` on its own thread for each difference.
class DriveMonitor : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(unsigned code, const std::string& drive)>;

    DriveMonitor(VirtualDriveFile file, Handler changed);
    ~DriveMonitor() override;

    // Compares the drives with the last look and reports the differences.
    void rescan();

private:
    void watchFile();
    void startUdev();

    VirtualDriveFile file_;
    Handler changed_;
    std::map<std::string, std::string> lastDiscs_; // drive -> what holds its disc ("" = none)
    QFileSystemWatcher watcher_;
    QTimer poll_;
    struct Udev;
    std::unique_ptr<Udev> udev_;
};

} // namespace kb::cdrom
