#pragma once

#include "platform/cdrom/DiscToc.h"
#include "platform/mci/TimeFormat.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kb::mci::cdaudio {

// Frames <-> milliseconds as the CD device counts them: floor(f * 1000 / 75) + 1 and back.
uint32_t framesToMs(int64_t frames);
int64_t msToFrames(int64_t ms);

// A command's integer in the current format as an absolute frame; nullopt when a tmsf
// track does not exist or a seconds or frames field is beyond its range.
std::optional<int64_t> commandToFrame(uint32_t value, TimeFormat format, const cdrom::Toc& toc);

// A position reply (tmsf counts within the track that holds the frame).
std::string positionReply(int frame, TimeFormat format, const cdrom::Toc& toc);
// A length reply (msf also in tmsf).
std::string lengthReply(int frames, TimeFormat format);
// The start of track n in the current format (tmsf: "nn:00:00:00").
std::string trackStartReply(const cdrom::TocTrack& track, TimeFormat format);

} // namespace kb::mci::cdaudio
