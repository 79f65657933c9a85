#pragma once

#include <QString>
#include <QStringList>

namespace kb::shell {

// Where a system-information program is looked for: the folders of desktop entries
// ($XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS) and the folders of PATH.
struct SystemInfoSearch {
    QStringList applicationDirs;
    QStringList pathDirs;

    static SystemInfoSearch fromEnvironment();
};

// The command line of an installed system-information program: the first desktop entry of
// an application in both the "System" and "Monitor" categories whose program is there, else
// the first of a few well-known programs found on the path. Empty when there is none.
QStringList findSystemInfoProgram(const SystemInfoSearch& where);

// The program and arguments of a desktop entry's Exec value with its field codes removed;
// empty when the value is malformed.
QStringList desktopExecCommand(const QString& exec);

// Starts a program on its own (it outlives the player). False when it could not start.
bool startProgram(const QStringList& command);

} // namespace kb::shell
