#include "platform/cdrom/VirtualDriveFile.h"

#include "platform/cdrom/DriveName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <map>

namespace kb::cdrom {

// The file is a small INI: section [Drives] maps a drive name to its image (empty: no
// disc); section [OpenTrays] lists drives whose door is open, with the image in the tray.

VirtualDriveFile::VirtualDriveFile() : path_(defaultPath()) {}

VirtualDriveFile::VirtualDriveFile(QString path) : path_(std::move(path)) {}

QString VirtualDriveFile::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + "/Kobaltune/drives.ini";
}

std::vector<VirtualDrive> VirtualDriveFile::read() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::map<std::string, VirtualDrive> byName;
    QString section;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const auto name = normalizeDriveName(line.left(eq).trimmed().toStdString());
        if (!name)
            continue;
        const std::string value = line.mid(eq + 1).trimmed().toStdString();
        VirtualDrive& d = byName[*name];
        d.name = *name;
        if (section == "drives") {
            d.image = value;
        } else if (section == "opentrays") {
            d.doorOpen = true;
            d.trayImage = value;
        }
    }
    std::vector<VirtualDrive> out;
    for (auto& [name, d] : byName) {
        if (d.doorOpen)
            d.image.clear();
        out.push_back(std::move(d));
    }
    return out;
}

bool VirtualDriveFile::storableImagePath(const std::string& path, std::string& why)
{
    if (QString::fromStdString(path).toStdString() != path) {
        why = "is not valid UTF-8";
        return false;
    }
    for (const char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            why = c == '\n' || c == '\r' ? "holds a line break" : "holds a control character";
            return false;
        }
    }
    if (!path.empty() && (path.front() == ' ' || path.back() == ' ' || path.back() == '\t')) {
        why = "begins or ends with a blank";
        return false;
    }
    return true;
}

bool VirtualDriveFile::write(const std::vector<VirtualDrive>& drives) const
{
    std::string why;
    for (const VirtualDrive& d : drives) {
        if (!storableImagePath(d.image, why) || !storableImagePath(d.trayImage, why)
            || normalizeDriveName(d.name) != d.name)
            return false;
    }
    std::vector<VirtualDrive> sorted = drives;
    std::sort(sorted.begin(), sorted.end(),
              [](const VirtualDrive& a, const VirtualDrive& b) { return a.name < b.name; });
    QByteArray text = "# Virtual CD drives of Kobaltune: drive name = disc image (empty: no disc).\n"
                      "# Managed by kobaltune-drive; the player follows changes at once.\n"
                      "[Drives]\n";
    for (const VirtualDrive& d : sorted)
        text += QByteArray::fromStdString(d.name + "=" + (d.doorOpen ? "" : d.image) + "\n");
    text += "[OpenTrays]\n";
    for (const VirtualDrive& d : sorted) {
        if (d.doorOpen)
            text += QByteArray::fromStdString(d.name + "=" + d.trayImage + "\n");
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text);
    return file.commit();
}

} // namespace kb::cdrom
