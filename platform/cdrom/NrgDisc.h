#pragma once

#include "platform/cdrom/Disc.h"

namespace kb::cdrom {

// A Nero (.nrg) image, read by our own code: the footer and chunk chain are checked in
// full before any offset from them is used.
DiscOpenResult openNrgDisc(const std::string& path);

} // namespace kb::cdrom
