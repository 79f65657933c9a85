#pragma once

#include "platform/cdrom/Disc.h"

namespace kb::cdrom {

// Kinds libcdio reads itself: cdrdao TOC files, Nero NRG images, and physical drives
// (read through paranoia with jitter and error correction).
enum class CdioSource { CdrdaoToc, Nrg, Drive };

DiscOpenResult openCdioDisc(const std::string& source, CdioSource kind);

} // namespace kb::cdrom
