#include "desktop/DiscPlacement.h"

#include <QFileInfo>

#include <algorithm>

namespace kb::desktop {

namespace {

bool fail(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

} // namespace

QString placeDiscImage(const QString& image, const kb::cdrom::VirtualDriveFile& file,
                       const std::vector<kb::cdrom::DriveEntry>& physical, QString* why)
{
    const QFileInfo info(image);
    std::string reason;
    const std::string stored = info.absoluteFilePath().toStdString();
    if (!info.isFile()) {
        fail(why, QStringLiteral("no disc image at ") + image);
        return {};
    }
    if (!kb::cdrom::VirtualDriveFile::storableImagePath(stored, reason)) {
        fail(why, QStringLiteral("the image path ") + QString::fromStdString(reason));
        return {};
    }
    std::vector<kb::cdrom::VirtualDrive> drives = file.read();
    auto it = std::find_if(drives.begin(), drives.end(), [&](const auto& d) { return d.image == stored; });
    if (it != drives.end())
        return QString::fromStdString(it->name);

    it = std::find_if(drives.begin(), drives.end(),
                      [](const auto& d) { return d.image.empty() && d.trayImage.empty(); });
    if (it == drives.end()) {
        const auto taken = [&](const std::string& name) {
            return std::any_of(drives.begin(), drives.end(), [&](const auto& d) { return d.name == name; })
                   || std::any_of(physical.begin(), physical.end(), [&](const auto& d) { return d.name == name; });
        };
        std::string name;
        for (char letter = 'D'; letter <= 'Z' && name.empty(); ++letter) {
            const std::string candidate{letter, ':'};
            if (!taken(candidate))
                name = candidate;
        }
        if (name.empty()) {
            fail(why, QStringLiteral("every drive name is taken"));
            return {};
        }
        it = drives.insert(drives.end(), kb::cdrom::VirtualDrive{name, {}, false, {}});
    }
    it->image = stored;
    it->doorOpen = false;
    it->trayImage.clear();
    const std::string name = it->name;
    // The drive file is kept in drive-name order.
    std::sort(drives.begin(), drives.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    if (!file.write(drives)) {
        fail(why, QStringLiteral("cannot write ") + file.path());
        return {};
    }
    return QString::fromStdString(name);
}

} // namespace kb::desktop
