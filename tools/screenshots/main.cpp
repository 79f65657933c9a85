// kobaltune-shotdisc OUTPUT.cue [TRACKS] [SECONDS]: writes a disc image of TRACKS short
// audio tracks (12 by default, SECONDS each, 20 by default) as a CUE sheet and its BIN.
// Each track holds a quiet sine tone of its own pitch, so a capture of the output shows
// which track was playing. Used by take-screenshots.sh to fill the track grid.
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> quietTone(int seconds, double hz)
{
    const int sectors = static_cast<int>(seconds * kRate) / kb::demodisc::kSamplesPerSector;
    std::vector<int16_t> pcm(static_cast<size_t>(sectors) * kb::demodisc::kSamplesPerSector * 2);
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
        const auto v = static_cast<int16_t>(std::lround(800.0 * std::sin(2 * kPi * hz * i / kRate)));
        pcm[2 * i] = v;
        pcm[2 * i + 1] = v;
    }
    return pcm;
}

bool parseCount(const char* text, int low, int high, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < low || v > high)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int tracks = 12;
    int seconds = 20;
    if (argc < 2 || argc > 4 || argv[1][0] == '\0' || argv[1][0] == '-'
        || (argc > 2 && !parseCount(argv[2], 1, 99, tracks))
        || (argc > 3 && !parseCount(argv[3], 4, 600, seconds))) {
        std::fputs("usage: kobaltune-shotdisc OUTPUT.cue [TRACKS 1-99] [SECONDS 4-600]\n", stderr);
        return 2;
    }
    const QString cue = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    QDir().mkpath(QFileInfo(cue).absolutePath());

    kb::demodisc::DiscLayout layout;
    layout.title = "Screenshot Disc";
    layout.performer = "Kobaltune";
    for (int t = 0; t < tracks; ++t) {
        kb::demodisc::ImageTrack track;
        track.pcm = quietTone(seconds, 220.0 * std::pow(2.0, t / 12.0));
        track.pregapSectors = t == 0 ? 0 : 75; // two-second gaps are usual; one keeps it short
        track.title = "Track " + std::to_string(t + 1);
        track.performer = layout.performer;
        layout.tracks.push_back(std::move(track));
    }
    if (!kb::demodisc::writeCueBin(cue, layout)) {
        std::fprintf(stderr, "kobaltune-shotdisc: cannot write %s\n", cue.toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s\n", cue.toLocal8Bit().constData());
    return 0;
}
