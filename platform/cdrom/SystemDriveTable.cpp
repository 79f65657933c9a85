#include "platform/cdrom/DriveTable.h"

#include <QDir>

#include <algorithm>
#include <mutex>

namespace kb::cdrom {

namespace {

// Optical drives in device order (sr0, sr1, ... sr10), named from D: on.
std::vector<DriveEntry> physicalDrives()
{
    QStringList nodes = QDir("/dev").entryList({"sr*"}, QDir::System | QDir::Files | QDir::Readable);
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

class SystemDriveTable final : public DriveTable {
public:
    std::vector<DriveEntry> drives() const override { return physicalDrives(); }

    void addEventReceiver(QObject* receiver) override
    {
        std::lock_guard lock(mutex_);
        receivers_.push_back(receiver);
    }
    void removeEventReceiver(QObject* receiver) override
    {
        std::lock_guard lock(mutex_);
        std::erase(receivers_, receiver);
    }

private:
    std::mutex mutex_;
    std::vector<QObject*> receivers_;
};

} // namespace

std::unique_ptr<DriveTable> makeSystemDriveTable() { return std::make_unique<SystemDriveTable>(); }

} // namespace kb::cdrom
