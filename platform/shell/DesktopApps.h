#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

#include <optional>

namespace kb::shell {

// The parts of an application's desktop entry that the file list uses.
struct DesktopApp {
    QString id;   // "vlc.desktop"
    QString exec; // the Exec line as written
    QString icon; // a theme icon name or an absolute file
};

// The default application for the first of `mimeTypes` (a type, then its aliases and
// parents) that has one, found the XDG way: the mimeapps.list files of the user, the
// desktop and the system, then the applications that declare the type.
std::optional<DesktopApp> defaultApplication(const QStringList& mimeTypes);

// An icon of the icon theme by name, or the icon file an absolute name gives; null when none
// can be found. Without a desktop theme, Adwaita then hicolor are searched.
QIcon themeIcon(const QString& name);

} // namespace kb::shell
