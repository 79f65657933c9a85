#include "platform/cdrom/PhysicalDrives.h"

#include <QDir>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace kb::cdrom {

std::vector<DriveEntry> physicalDrives()
{
    QStringList nodes = QDir("/dev").entryList({"sr*"}, QDir::System | QDir::Files);
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                               [](const QString& n) {
                                   bool ok = false;
                                   n.mid(2).toInt(&ok);
                                   return !ok;
                               }),
                nodes.end());
    std::sort(nodes.begin(), nodes.end(), [](const QString& a, const QString& b) {
        return a.mid(2).toInt() < b.mid(2).toInt();
    });
    std::vector<DriveEntry> out;
    char letter = 'D';
    for (const QString& node : nodes) {
        if (letter > 'Z')
            break;
        DriveEntry e;
        e.name = std::string(1, letter++) + ":";
        e.source = ("/dev/" + node).toStdString();
        out.push_back(std::move(e));
    }
    return out;
}

TrayState trayState(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return TrayState::NoInfo;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    switch (status) {
    case CDS_NO_DISC: return TrayState::NoDisc;
    case CDS_TRAY_OPEN: return TrayState::TrayOpen;
    case CDS_DRIVE_NOT_READY: return TrayState::NotReady;
    case CDS_DISC_OK: return TrayState::DiscOk;
    default: return TrayState::NoInfo;
    }
}

} // namespace kb::cdrom
