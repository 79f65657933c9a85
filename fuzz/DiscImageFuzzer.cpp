// Nero images and cdrdao TOC files on hostile input: our own NRG reader, and the checks
// that stand before libcdio's TOC parser (and libcdio behind them). The first byte picks
// the kind. Oracle: every disc that opens has a table of contents a CD can carry.
#include "platform/cdrom/Disc.h"
#include "fuzz/support/FuzzFiles.h"

#include <cstdlib>

using namespace kb;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A data file for TOC inputs to name ("data.bin", found from the work folder).
    QDir::setCurrent(kbfuzz::workDir().path());
    QFile bin(kbfuzz::workDir().filePath("data.bin"));
    if (bin.open(QIODevice::WriteOnly))
        bin.write(QByteArray(60 * 2352, '\x22'));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 1024 * 1024)
        return 0;
    const bool toc = data[0] & 1;
    const QString path = kbfuzz::writeInput(toc ? "fuzz.toc" : "fuzz.nrg", data + 1, size - 1);
    if (path.isEmpty())
        return 0;
    const cdrom::DiscOpenResult opened = cdrom::openDisc(path.toStdString());
    if (!opened.disc)
        return 0;
    const cdrom::Toc& t = opened.disc->toc();
    if (!t.impossibility().empty())
        std::abort();
    std::vector<int16_t> pcm(static_cast<size_t>(4) * cdrom::kSamplesPerFrame * 2);
    for (const cdrom::TocTrack& track : t.tracks)
        opened.disc->readAudio(track.start, 4, pcm.data());
    opened.disc->readAudio(t.leadOut - 1, 4, pcm.data());
    return 0;
}
