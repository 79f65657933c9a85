#pragma once

#include <QString>

namespace kb::app {

// Where the program's data (the manual and its help pages) lives for a program in
// `programFolder` (a path ending in "/"): <prefix>/share/kobaltune/ for an installed
// program, the program's own folder for a build tree or a portable copy. Ends in "/".
QString DataFolder(const QString& programFolder);

// True when the program in `programFolder` runs from an installed prefix: its data folder is
// the installed one and no manual lies beside the program.
bool IsInstalledLayout(const QString& programFolder);

} // namespace kb::app
