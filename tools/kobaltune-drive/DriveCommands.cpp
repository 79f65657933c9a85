#include "tools/kobaltune-drive/DriveCommands.h"

#include "platform/cdrom/Disc.h"
#include "platform/cdrom/DiscSource.h"
#include "platform/cdrom/DriveList.h"
#include "platform/cdrom/DriveName.h"
#include "platform/cdrom/PhysicalDrives.h"

#include <QFileInfo>

#include <algorithm>

namespace {

using kb::cdrom::VirtualDrive;

constexpr const char* kUsage =
    "usage: kobaltune-drive insert DRIVE IMAGE   put a disc image into virtual drive DRIVE\n"
    "       kobaltune-drive eject DRIVE          take the disc out (the tray stays open)\n"
    "       kobaltune-drive remove DRIVE         remove the virtual drive\n"
    "       kobaltune-drive list                 list every drive and its disc\n";

bool physicalName(const std::string& name)
{
    const auto drives = kb::cdrom::physicalDrives();
    return std::any_of(drives.begin(), drives.end(), [&](const auto& d) { return d.name == name; });
}

} // namespace

int runDriveCommand(const std::vector<std::string>& args, const kb::cdrom::VirtualDriveFile& file,
                    std::ostream& out, std::ostream& err)
{
    const std::string command = args.empty() ? "" : args[0];
    if (command == "list" && args.size() == 1) {
        for (const auto& d : kb::cdrom::listDrives(file))
            out << d.name << ' ' << (d.source.empty() ? "-" : d.source) << '\n';
        return 0;
    }
    const bool known = command == "insert" || command == "eject" || command == "remove";
    if (!known || args.size() != (command == "insert" ? 3u : 2u)) {
        err << kUsage;
        return 2;
    }
    const auto name = kb::cdrom::normalizeDriveName(args[1]);
    if (!name) {
        err << "kobaltune-drive: \"" << args[1] << "\" is not a drive name (write it like E:)\n";
        return 2;
    }
    if (physicalName(*name)) {
        err << "kobaltune-drive: " << *name << " is a physical drive; choose another name\n";
        return 1;
    }
    std::vector<VirtualDrive> drives = file.read();
    auto it = std::find_if(drives.begin(), drives.end(), [&](const auto& d) { return d.name == *name; });
    if (command == "insert") {
        const QFileInfo image(QString::fromLocal8Bit(args[2].c_str()));
        if (!image.isFile()) {
            err << "kobaltune-drive: no disc image at " << args[2] << '\n';
            return 1;
        }
        // The drive table knows images by their extension; an image it cannot place would
        // only give a drive that never becomes ready.
        if (!kb::cdrom::recognizedDiscSource(image.absoluteFilePath().toStdString())) {
            err << "kobaltune-drive: " << args[2]
                << " is not a disc image kobaltune-drive knows (.cue, .toc, .nrg, or a .bin/.img"
                   " with its .cue beside it)\n";
            return 2;
        }
        const std::string stored = image.absoluteFilePath().toStdString();
        std::string why;
        if (!kb::cdrom::VirtualDriveFile::storableImagePath(stored, why)
            || !QFileInfo(QString::fromStdString(stored)).isFile()) {
            err << "kobaltune-drive: the image path " << (why.empty() ? "cannot be stored" : why)
                << ", which the drive list cannot keep; rename the file or move it\n";
            return 2;
        }
        if (it == drives.end())
            it = drives.insert(drives.end(), VirtualDrive{*name, {}, false, {}});
        it->image = stored;
        it->doorOpen = false;
        it->trayImage.clear();
    } else if (it == drives.end()) {
        err << "kobaltune-drive: there is no virtual drive " << *name << '\n';
        return 1;
    } else if (command == "eject") {
        if (!it->doorOpen)
            it->trayImage = it->image;
        it->image.clear();
        it->doorOpen = true;
    } else {
        drives.erase(it);
    }
    if (!file.write(drives)) {
        err << "kobaltune-drive: cannot write " << file.path().toStdString() << '\n';
        return 1;
    }
    return 0;
}
