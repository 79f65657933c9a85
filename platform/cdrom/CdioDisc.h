#pragma once

#include "platform/cdrom/Disc.h"

namespace kb::cdrom {

// Kinds libcdio reads itself: cdrdao TOC files (checked by the caller first) and physical
// drives (read through paranoia with jitter and error correction).
enum class CdioSource { CdrdaoToc, Drive };

DiscOpenResult openCdioDisc(const std::string& source, CdioSource kind);

} // namespace kb::cdrom
