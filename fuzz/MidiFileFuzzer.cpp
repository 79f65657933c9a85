// The SMF/RMID reader and its tempo map on hostile files. Oracles: events come in time
// order and within the song; the tempo map starts at tick 0 and never runs backwards.
#include "platform/mci/sequencer/MidiFile.h"

#include <cstdint>
#include <cstdlib>

using namespace kb::mci::seq;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1024 * 1024)
        return 0;
    const std::vector<uint8_t> bytes(data, data + size);
    MidiSong song;
    if (parseMidi(bytes, song) != MidiParseError::None)
        return 0;
    check(!song.tempoMap.empty() && song.tempoMap.front().tick == 0);
    for (size_t i = 1; i < song.tempoMap.size(); ++i) {
        check(song.tempoMap[i].tick > song.tempoMap[i - 1].tick);
        check(song.tempoMap[i].timeUs >= song.tempoMap[i - 1].timeUs);
    }
    for (size_t i = 0; i < song.events.size(); ++i) {
        check(!song.events[i].bytes.empty());
        if (i > 0)
            check(song.events[i].tick >= song.events[i - 1].tick);
    }
    // The conversions both ways, at the ends and in between.
    for (const uint32_t tick : {0u, song.lengthTicks / 2, song.lengthTicks, UINT32_MAX}) {
        const int64_t us = song.timeOfTick(tick);
        check(us >= 0);
        song.tickAtTime(us);
    }
    song.tickAtTime(song.lengthUs);
    return 0;
}
