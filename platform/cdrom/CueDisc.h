#pragma once

#include "platform/cdrom/Disc.h"

namespace kb::cdrom {

// A disc described by a CUE sheet: raw BIN files (any name the sheet gives), or audio
// files (WAV, FLAC, ...) decoded with FFmpeg, one per disc or one per track; pregaps in the
// files (INDEX 00) or as PREGAP silence; data tracks in the TOC but read as silence.
DiscOpenResult openCueDisc(const std::string& cuePath);

} // namespace kb::cdrom
