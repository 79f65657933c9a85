// kobaltune-drive: manages the virtual CD drives that the player sees beside the physical
// ones. The drives live in $XDG_CONFIG_HOME/Kobaltune/drives.ini.
#include "tools/kobaltune-drive/DriveCommands.h"

#include <iostream>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return runDriveCommand(args, kb::cdrom::VirtualDriveFile(), std::cout, std::cerr);
}
