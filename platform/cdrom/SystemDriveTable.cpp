#include "platform/cdrom/DriveTable.h"

#include "platform/cdrom/DriveList.h"
#include "platform/cdrom/DriveMonitor.h"

#include <QCoreApplication>

#include <algorithm>
#include <mutex>

namespace kb::cdrom {

namespace {

class SystemDriveTable final : public DriveTable {
public:
    SystemDriveTable()
    {
        // Watching needs an event loop; without an application the table only lists.
        if (QCoreApplication::instance()) {
            monitor_ = std::make_unique<DriveMonitor>(
                file_, [this](unsigned code, const std::string& drive) { post(code, drive); });
        }
    }

    std::vector<DriveEntry> drives() const override { return listDrives(file_); }

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
    void post(unsigned code, const std::string& drive)
    {
        std::lock_guard lock(mutex_);
        for (QObject* r : receivers_)
            QCoreApplication::postEvent(r, new DeviceChangeEvent(code, drive));
    }

    VirtualDriveFile file_;
    std::mutex mutex_;
    std::vector<QObject*> receivers_;
    std::unique_ptr<DriveMonitor> monitor_;
};

} // namespace

std::unique_ptr<DriveTable> makeSystemDriveTable() { return std::make_unique<SystemDriveTable>(); }

} // namespace kb::cdrom
