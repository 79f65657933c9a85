#include "platform/cdrom/PhysicalDrives.h"

#include <cdio/cdio.h>

namespace kb::cdrom {

// Kept apart from the drive list so that listing drives does not need libcdio.
bool moveTray(const std::string& device, bool open)
{
    if (open)
        return cdio_eject_media_drive(device.c_str()) == DRIVER_OP_SUCCESS;
    driver_id_t driver = DRIVER_DEVICE;
    return cdio_close_tray(device.c_str(), &driver) == DRIVER_OP_SUCCESS;
}

} // namespace kb::cdrom
