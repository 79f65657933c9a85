#pragma once

#include "tools/demodisc/DiscImageWriter.h"

namespace kb::demodisc {

// The demo album: five short pieces synthesized here (melody, chords, bass and drums),
// with album, artist and track titles.
DiscLayout demoAlbum();

} // namespace kb::demodisc
