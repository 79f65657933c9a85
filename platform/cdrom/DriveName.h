#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kb::cdrom {

// A drive name in its one spelling, "D:", from the forms users and commands write: "d",
// "d:", "D:\" or "D:/". Nothing else is a drive name.
std::optional<std::string> normalizeDriveName(std::string_view text);

} // namespace kb::cdrom
