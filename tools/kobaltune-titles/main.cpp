// kobaltune-titles: shows, fills, exports and imports the CD title records of the player's
// settings file (beside the program, else $XDG_CONFIG_HOME/Kobaltune/), with the player's own
// record and file code; it may run while the player runs.
#include "app/Settings.h"
#include "platform/cdrom/DriveList.h"
#include "tools/kobaltune-titles/TitleCommands.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    QString file;
    if (args.size() >= 2 && args[0] == "--settings") {
        file = QString::fromLocal8Bit(args[1].c_str());
        args.erase(args.begin(), args.begin() + 2);
    }
    const Settings settings = file.isEmpty() ? Settings() : Settings(file, AddBackslash(QCoreApplication::applicationDirPath()));
    TitleToolContext tool{settings, [] { return kb::cdrom::listDrives(kb::cdrom::VirtualDriveFile()); },
                          std::cout, std::cerr};
    return runTitleCommand(args, tool);
}
