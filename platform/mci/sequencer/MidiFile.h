#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kb::mci::seq {

// One channel or SysEx message of a Standard MIDI File, at its absolute time. Meta events
// are not kept: the tempo map already accounts for them.
struct MidiEvent {
    int64_t timeUs = 0;
    uint32_t tick = 0;
    std::vector<uint8_t> bytes; // status byte first; SysEx as F0 ... F7
};

struct TempoChange {
    uint32_t tick = 0;
    int64_t timeUs = 0;
    uint32_t usPerQuarter = 500000;
};

// A whole song with every track merged in time order.
struct MidiSong {
    int format = 0;
    int trackCount = 0;
    int ticksPerQuarter = 0;  // 0 for an SMPTE time base
    std::vector<MidiEvent> events;
    std::vector<TempoChange> tempoMap; // starts at tick 0
    int64_t lengthUs = 0;     // the latest end-of-track (or event) across all tracks
    uint32_t lengthTicks = 0;

    // Ticks <-> microseconds through the tempo map (SMPTE time bases are linear).
    int64_t timeOfTick(uint32_t tick) const;
    uint32_t tickAtTime(int64_t timeUs) const;
};

enum class MidiParseError { None, NotMidi, Truncated, Malformed };

// Parses an SMF (format 0, 1 or 2) or a RIFF RMID file wrapping one.
MidiParseError parseMidi(const std::vector<uint8_t>& data, MidiSong& song);

} // namespace kb::mci::seq
