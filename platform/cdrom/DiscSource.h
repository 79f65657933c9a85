#pragma once

#include <string>

namespace kb::cdrom {

enum class SourceKind { Unknown, Device, Cue, CdrdaoToc, Nrg };

struct DiscSource {
    SourceKind kind = SourceKind::Unknown;
    std::string path; // what to open: for a .bin with a sheet beside it, the sheet
};

// What kind of disc `source` names, judged from its name alone (a device node, or an image
// by extension; a .bin or .img counts when its .cue lies beside it). Needs no disc library.
DiscSource classifyDiscSource(const std::string& source);

// Whether openDisc would know how to read `source`.
bool recognizedDiscSource(const std::string& source);

} // namespace kb::cdrom
