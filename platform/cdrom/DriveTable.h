#pragma once

#include <QEvent>
#include <QObject>

#include <memory>
#include <string>
#include <vector>

namespace kb::cdrom {

// Drive type of a CD-ROM drive, as the drive list reports it.
constexpr unsigned kDriveTypeCdrom = 5;

// Device-change codes carried by DeviceChangeEvent::code() (the WM_DEVICECHANGE wParam).
constexpr unsigned kDeviceArrival = 0x8000;
constexpr unsigned kDeviceRemoveComplete = 0x8004;

struct DriveEntry {
    std::string name;                 // two characters, upper case: "D:"
    unsigned type = kDriveTypeCdrom;  // drive type (5 = CD-ROM)
    bool isVirtual = false;           // backed by a disc image rather than a device
    std::string source;               // device node ("/dev/sr0"), image path, or "" when empty
};

// Posted to every receiver registered with the drive table when a disc arrives in or
// leaves any drive.
class DeviceChangeEvent : public QEvent {
public:
    DeviceChangeEvent(unsigned code, std::string drive)
        : QEvent(type()), code_(code), drive_(std::move(drive)) {}

    static QEvent::Type type()
    {
        static const auto t = static_cast<QEvent::Type>(QEvent::registerEventType());
        return t;
    }
    unsigned code() const { return code_; }
    const std::string& drive() const { return drive_; }

private:
    unsigned code_;
    std::string drive_;
};

// The machine's CD drives under their drive names, in drive-name order.
class DriveTable {
public:
    virtual ~DriveTable() = default;

    // The whole list, read fresh each time.
    virtual std::vector<DriveEntry> drives() const = 0;

    // Receivers of DeviceChangeEvent; a receiver must be removed before it is destroyed.
    virtual void addEventReceiver(QObject* receiver) = 0;
    virtual void removeEventReceiver(QObject* receiver) = 0;
};

// The drive table of this machine: its optical drives (/dev/sr*, named from "D:" on) and
// the virtual drives configured for the user.
std::unique_ptr<DriveTable> makeSystemDriveTable();

} // namespace kb::cdrom
