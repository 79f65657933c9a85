#pragma once

#include <QString>

// Path pieces as the file list and the open dialog take them; "/" separates folders.
namespace kb::browser {

// The extension with its dot ("" when the last part has none); letter case kept.
QString GetExtension(const QString& path);
// The part after the last "/" (the whole text without one).
QString GetNameOfPath(const QString& path);
// The folder of a path without a trailing "/": "" for a file in the root, the current
// folder for a bare name.
QString GetFolderOfPath(const QString& path);

} // namespace kb::browser
