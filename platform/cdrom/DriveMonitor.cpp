#include "platform/cdrom/DriveMonitor.h"

#include "platform/cdrom/DriveList.h"
#include "platform/cdrom/DriveTable.h"
#include "platform/cdrom/ImageStamp.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <set>

#ifdef KOBALTUNE_HAVE_UDEV
#include <libudev.h>
#endif

namespace kb::cdrom {

namespace {

constexpr int kPollMs = 1000;

std::map<std::string, std::string> discsNow(const VirtualDriveFile& file)
{
    std::map<std::string, std::string> out;
    for (const DriveEntry& d : listDrives(file))
        out[d.name] = !driveHasDisc(d) ? std::string()
            : d.isVirtual              ? d.source + '\n' + imageStamp(d.source)
                                       : std::string("disc");
    return out;
}

} // namespace

#ifdef KOBALTUNE_HAVE_UDEV
struct DriveMonitor::Udev {
    struct UdevDeleter {
        void operator()(udev* u) const { udev_unref(u); }
    };
    struct MonitorDeleter {
        void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
    };
    std::unique_ptr<udev, UdevDeleter> context;
    std::unique_ptr<udev_monitor, MonitorDeleter> monitor;
    std::unique_ptr<QSocketNotifier> notifier;
};
#else
struct DriveMonitor::Udev {};
#endif

DriveMonitor::DriveMonitor(VirtualDriveFile file, Handler changed)
    : file_(std::move(file)), changed_(std::move(changed))
{
    lastDiscs_ = discsNow(file_);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] {
        watchFile();
        rescan();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFile();
        rescan();
    });
    watchFile();
    startUdev();
    connect(&poll_, &QTimer::timeout, this, &DriveMonitor::rescan);
    poll_.start(kPollMs);
}

DriveMonitor::~DriveMonitor() = default;

void DriveMonitor::watchFile()
{
    // The file is replaced on every write (atomic rename), so the watch on it is lost each
    // time; the folder watch sees the rename and the file is watched again.
    const QString dir = QFileInfo(file_.path()).absolutePath();
    if (QFileInfo::exists(dir) && !watcher_.directories().contains(dir))
        watcher_.addPath(dir);
    if (QFileInfo::exists(file_.path()) && !watcher_.files().contains(file_.path()))
        watcher_.addPath(file_.path());
}

void DriveMonitor::startUdev()
{
#ifdef KOBALTUNE_HAVE_UDEV
    auto u = std::make_unique<Udev>();
    u->context.reset(udev_new());
    if (!u->context)
        return;
    u->monitor.reset(udev_monitor_new_from_netlink(u->context.get(), "udev"));
    if (!u->monitor)
        return;
    udev_monitor_filter_add_match_subsystem_devtype(u->monitor.get(), "block", "disk");
    if (udev_monitor_enable_receiving(u->monitor.get()) < 0)
        return;
    const int fd = udev_monitor_get_fd(u->monitor.get());
    u->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    udev_monitor* mon = u->monitor.get();
    connect(u->notifier.get(), &QSocketNotifier::activated, this, [this, mon] {
        struct DeviceDeleter {
            void operator()(udev_device* d) const { udev_device_unref(d); }
        };
        std::unique_ptr<udev_device, DeviceDeleter> dev(udev_monitor_receive_device(mon));
        if (!dev)
            return;
        const char* name = udev_device_get_sysname(dev.get());
        if (!name || std::string_view(name).substr(0, 2) != "sr")
            return;
        if (udev_device_get_property_value(dev.get(), "DISK_MEDIA_CHANGE")
            || udev_device_get_property_value(dev.get(), "DISK_EJECT_REQUEST"))
            rescan();
    });
    udev_ = std::move(u);
#endif
}

void DriveMonitor::rescan()
{
    std::map<std::string, std::string> now = discsNow(file_);
    std::set<std::string> names;
    for (const auto& [name, disc] : lastDiscs_)
        names.insert(name);
    for (const auto& [name, disc] : now)
        names.insert(name);
    const auto old = std::exchange(lastDiscs_, std::move(now));
    for (const std::string& name : names) {
        const auto before = old.find(name);
        const auto after = lastDiscs_.find(name);
        const std::string was = before == old.end() ? "" : before->second;
        const std::string is = after == lastDiscs_.end() ? "" : after->second;
        if (was == is)
            continue;
        if (!was.empty())
            changed_(kDeviceRemoveComplete, name);
        if (!is.empty())
            changed_(kDeviceArrival, name);
    }
}

} // namespace kb::cdrom
