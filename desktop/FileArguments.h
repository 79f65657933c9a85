#pragma once

#include <QString>
#include <QStringList>

namespace kb::desktop {

// The local files named on a command line or in URIs: absolute, cleaned paths; file://
// URIs become paths; anything else (options, other URI schemes, empty names) is left out.
QStringList localFiles(const QStringList& arguments, const QString& workingFolder);

// A file:// URI or a plain path as an absolute local path; "" when it names no local file.
QString localPath(const QString& argument, const QString& workingFolder);

// The device mode that plays a file ("WAVE", "MIDI", "MP3", "VIDEO"), "CD" for a disc image
// that goes into a virtual drive, "" for a file the player does not play.
QString modeForFile(const QString& path);

} // namespace kb::desktop
