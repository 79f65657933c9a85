#pragma once

#include "tests/support/SineWav.h"

#include <string>

namespace kbtest {

// An MP3 of the sine encoded with libavcodec (with the usual gapless header).
bool writeSineMp3(const std::string& path, const Sine& sine, int bitrate = 128000);
// Whether this FFmpeg has an MP3 encoder.
bool haveMp3Encoder();

} // namespace kbtest
