#pragma once

#include "platform/cdrom/DiscToc.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kb::cdrom {

// A readable audio disc: in a drive, or an image file.
class Disc {
public:
    virtual ~Disc() = default;

    virtual const Toc& toc() const = 0;
    virtual DiscTitles titles() const { return {}; }

    // Reads `count` sectors from absolute frame `frame` as interleaved S16 stereo at
    // 44.1 kHz (kSamplesPerFrame sample frames per sector) into `out`. Returns how many
    // whole sectors were read; fewer than asked at the end of the data or on a read
    // error, -1 when nothing could be read at all. Data tracks read as silence. Reads
    // may block (a physical drive retrying), so callers use a worker thread.
    virtual int readAudio(int frame, int count, int16_t* out) = 0;
};

enum class DiscError { None, NotFound, Unreadable, Invalid, NoDisc };

struct DiscOpenResult {
    std::unique_ptr<Disc> disc;
    DiscError error = DiscError::None;
    std::string message; // for people: what was wrong, naming the file
};

// Opens a disc image (.cue, .toc, .nrg, .bin) or the disc in a device node (/dev/sr0).
DiscOpenResult openDisc(const std::string& source);

} // namespace kb::cdrom
