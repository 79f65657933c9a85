#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace kb::demodisc {

constexpr int kSamplesPerSector = 588;

struct ImageTrack {
    std::vector<int16_t> pcm;  // interleaved stereo at 44.1 kHz; padded to whole sectors
    bool data = false;         // a MODE1/2352 data track (its sectors hold no sound)
    int dataSectors = 0;       // length of a data track
    int pregapSectors = 0;     // INDEX 00 this many sectors before INDEX 01, stored in the file
    std::string title;
    std::string performer;
};

struct DiscLayout {
    std::string title;
    std::string performer;
    std::vector<ImageTrack> tracks;
};

// Sectors a track occupies in its file (pregap included).
int trackSectors(const ImageTrack& t);

// One BIN with every track and its CUE sheet. binName: the BIN's file name (default: the
// sheet's name with .bin). False when a file cannot be written.
bool writeCueBin(const QString& cuePath, const DiscLayout& layout, const QString& binName = {});

// A sheet with one WAV file per track (audio tracks only), named "NN.wav" beside it.
bool writeCuePerTrackWav(const QString& cuePath, const DiscLayout& layout);

// A Nero disc-at-once image (NER5 footer, DAOX chunk), the 2 s before track 1 stored
// as silence like a burner writes it (leadInSectors of them: 150; 0 for none).
bool writeNrg(const QString& path, const DiscLayout& layout, int leadInSectors = 150);

// A 16-bit stereo 44.1 kHz WAV file.
bool writeWav(const QString& path, const std::vector<int16_t>& pcm);

// A recognisable, deterministic signal `sectors` sectors long (different per seed).
std::vector<int16_t> testSignal(int sectors, int seed);

} // namespace kb::demodisc
