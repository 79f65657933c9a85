// The CUE reader on hostile sheets: the parser, then the whole disc built from the sheet
// over real files (a BIN and a WAV beside it), and reads at every track start. Oracle:
// every disc that opens has a table of contents a CD can carry.
#include "platform/cdrom/CueSheet.h"
#include "platform/cdrom/Disc.h"
#include "fuzz/support/FuzzFiles.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <cstdlib>

using namespace kb;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    demodisc::DiscLayout layout;
    layout.tracks.push_back({demodisc::testSignal(30, 1)});
    layout.tracks.push_back({demodisc::testSignal(20, 2)});
    demodisc::writeCueBin(kbfuzz::workDir().filePath("disc.cue"), layout);
    demodisc::writeWav(kbfuzz::workDir().filePath("a.wav"), demodisc::testSignal(25, 3));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 256 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    cdrom::CueSheet sheet;
    std::string error;
    cdrom::parseCueSheet(bytes, sheet, error);

    const QString path = kbfuzz::writeInput("fuzz.cue", data, size);
    if (path.isEmpty())
        return 0;
    const cdrom::DiscOpenResult opened = cdrom::openDisc(path.toStdString());
    if (!opened.disc)
        return 0;
    const cdrom::Toc& toc = opened.disc->toc();
    if (!toc.impossibility().empty())
        std::abort();
    std::vector<int16_t> pcm(static_cast<size_t>(4) * cdrom::kSamplesPerFrame * 2);
    for (const cdrom::TocTrack& t : toc.tracks)
        opened.disc->readAudio(t.start, 4, pcm.data());
    opened.disc->readAudio(toc.leadOut - 2, 4, pcm.data());
    return 0;
}
