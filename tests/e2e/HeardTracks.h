#pragma once

// Works out which stretches of a disc's tracks a recording of the player's output holds.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace kbtest {

// The interleaved 16-bit stereo samples of a PCM WAV file; false when it is not one.
bool readWavPcm(const QString& path, std::vector<int16_t>& pcm);

// One stretch of a track heard without a break in its samples. Offsets count stereo
// frames from the track's first frame; [first, end).
struct HeardPiece {
    int track = 0;          // 1-based
    int64_t first = 0;
    int64_t end = 0;
    int64_t gapBefore = 0;  // recorded frames since the previous piece that were no track's
};

struct HeardTracks {
    std::vector<HeardPiece> pieces;
    double gain = 0;        // the output level the recording was made at (1 = unchanged)
    int64_t silentFrames = 0;
    int64_t strayFrames = 0; // neither silence nor any track's samples at `gain`
    std::string describe() const;
};

// Splits `recorded` into the stretches of `tracks` (each interleaved stereo) it reproduces.
// Every recorded frame must equal the track's frame times one common gain to within
// `tolerance`; a stretch that carries on exactly where the previous one of the same track
// stopped (after a pause or a drop-out) extends it. The tracks must not repeat themselves
// (noise-like content), so any 32 frames locate their place.
HeardTracks findHeardTracks(const std::vector<int16_t>& recorded,
                            const std::vector<std::vector<int16_t>>& tracks, int tolerance = 2);

} // namespace kbtest
