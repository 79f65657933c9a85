#include "platform/cdrom/ImageStamp.h"

#include <sys/stat.h>

namespace kb::cdrom {

std::string imageStamp(const std::string& path)
{
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' + std::to_string(st.st_size) + ':'
        + std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec);
}

} // namespace kb::cdrom
