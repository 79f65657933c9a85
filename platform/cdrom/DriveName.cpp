#include "platform/cdrom/DriveName.h"

#include <cctype>

namespace kb::cdrom {

std::optional<std::string> normalizeDriveName(std::string_view text)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    const unsigned char letter = static_cast<unsigned char>(text[0]);
    if (!std::isalpha(letter) || letter > 0x7F)
        return std::nullopt;
    if (text.size() >= 2 && text[1] != ':')
        return std::nullopt;
    if (text.size() == 3 && text[2] != '\\' && text[2] != '/')
        return std::nullopt;
    return std::string(1, static_cast<char>(std::toupper(letter))) + ":";
}

} // namespace kb::cdrom
