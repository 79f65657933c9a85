#include "platform/cdrom/Disc.h"
#include "tests/platform/cdrom/DiscImageHelpers.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace kb;
using demodisc::DiscLayout;
using demodisc::ImageTrack;

namespace {


void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}


void expectRefused(const std::string& path)
{
    const auto r = cdrom::openDisc(path);
    EXPECT_FALSE(r.disc) << path;
    EXPECT_EQ(r.error, cdrom::DiscError::Invalid) << path;
    EXPECT_FALSE(r.message.empty());
}

} // namespace

// A Nero image reads like the same disc as a CUE/BIN: track starts, pregaps, data tracks,
// lead-out and every sample.
TEST(HostileImage, NeroImageReadsLikeItsCueBinTwin)
{
    kbtest::TempDir dir;
    DiscLayout s = kbtest::imageLayout(3, 12);
    s.tracks[1].pregapSectors = 4;
    ImageTrack data;
    data.data = true;
    data.dataSectors = 20;
    s.tracks.push_back(data);
    ASSERT_TRUE(demodisc::writeNrg(dir.file("d.nrg"), s));
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("d.cue"), s));
    auto nrg = cdrom::openDisc(dir.fileUtf8("d.nrg"));
    auto cue = cdrom::openDisc(dir.fileUtf8("d.cue"));
    ASSERT_TRUE(nrg.disc) << nrg.message;
    ASSERT_TRUE(cue.disc) << cue.message;
    const cdrom::Toc& a = nrg.disc->toc();
    const cdrom::Toc& b = cue.disc->toc();
    ASSERT_EQ(a.trackCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.tracks[static_cast<size_t>(i)].start, b.tracks[static_cast<size_t>(i)].start) << i;
        EXPECT_EQ(a.tracks[static_cast<size_t>(i)].audio, b.tracks[static_cast<size_t>(i)].audio) << i;
    }
    EXPECT_EQ(a.leadOut, b.leadOut);
    const int n = a.leadOut - 150;
    EXPECT_EQ(kbtest::readFrames(*nrg.disc, 150, n), kbtest::readFrames(*cue.disc, 150, n));
}

// The footer and chunk chain are checked before any offset from them is used: audio data
// followed by "NERO" and an offset of 0 once took the player down inside libcdio.
TEST(HostileImage, DamagedNeroFootersAndChainsAreRefused)
{
    kbtest::TempDir dir;
    const QByteArray audio(50 * 2352, '\x11');
    auto be = [](uint64_t v, int bytes) {
        QByteArray out;
        for (int i = bytes - 1; i >= 0; --i)
            out.append(static_cast<char>(v >> (8 * i)));
        return out;
    };
    writeBytes(dir.file("zero.nrg"), audio + "NERO" + be(0, 4));
    writeBytes(dir.file("past.nrg"), audio + "NERO" + be(0xFFFFFF00u, 4));
    writeBytes(dir.file("past5.nrg"), audio + "NER5" + be(~0ull, 8));
    writeBytes(dir.file("tiny.nrg"), "NERO");
    writeBytes(dir.file("nochain.nrg"), audio + "DAOX" + be(5000, 4) + "NER5" + be(audio.size(), 8));
    writeBytes(dir.file("noend.nrg"), audio + "SINF" + be(4, 4) + be(1, 4) + "NER5" + be(audio.size(), 8));

    // A valid image whose DAOX entry is bent to point past the image data.
    ASSERT_TRUE(demodisc::writeNrg(dir.file("good.nrg"), kbtest::imageLayout(2, 10)));
    QByteArray bent = readBytes(dir.file("good.nrg"));
    const qsizetype daox = bent.lastIndexOf("DAOX");
    ASSERT_GT(daox, 0);
    bent.replace(daox + 8 + 22 + 18 + 16, 8, be(0x7FFFFFFFFFFFull, 8)); // track 1's end
    writeBytes(dir.file("bent.nrg"), bent);
    QByteArray many = readBytes(dir.file("good.nrg"));
    many[daox + 8 + 21] = static_cast<char>(200); // last track number beyond the chunk
    writeBytes(dir.file("many.nrg"), many);

    for (const char* name : {"zero.nrg", "past.nrg", "past5.nrg", "tiny.nrg", "nochain.nrg", "noend.nrg",
                             "bent.nrg", "many.nrg"})
        expectRefused(dir.fileUtf8(name));
    EXPECT_TRUE(cdrom::openDisc(dir.fileUtf8("good.nrg")).disc);
}

// cdrdao files reach libcdio only as plain text with short lines.
TEST(HostileImage, BinaryOrOverlongTocFilesNeverReachLibcdio)
{
    kbtest::TempDir dir;
    writeBytes(dir.file("bin.toc"), QByteArray("CD_DA\nTRACK AUDIO\n\0\xff\x01", 22));
    writeBytes(dir.file("long.toc"), "CD_DA\nTRACK AUDIO\nFILE \"" + QByteArray(5000, 'a') + ".bin\" 0\n");
    writeBytes(dir.file("quote.toc"), "CD_DA\nTRACK AUDIO\nFILE \"a.bin 0\n");
    writeBytes(dir.file("huge.toc"), QByteArray(300 * 1024, '\n'));
    for (const char* name : {"bin.toc", "long.toc", "quote.toc", "huge.toc"})
        expectRefused(dir.fileUtf8(name));

    // A plain one passes the checks and libcdio reads it.
    writeBytes(dir.file("data.bin"), QByteArray(60 * 2352, '\x22'));
    writeBytes(dir.file("plain.toc"), "CD_DA\n\n// two tracks\nTRACK AUDIO\nFILE \"" + dir.file("data.bin").toUtf8()
                                          + "\" 0 00:00:30\n\nTRACK AUDIO\nFILE \"" + dir.file("data.bin").toUtf8()
                                          + "\" 00:00:30 00:00:30\n");
    const auto plain = cdrom::openDisc(dir.fileUtf8("plain.toc"));
    ASSERT_TRUE(plain.disc) << plain.message;
    EXPECT_EQ(plain.disc->toc().trackCount(), 2);
}

// Tables of contents no CD can have are refused: more than 99 minutes of pregap, or a disc
// past the 100-minute address range.
TEST(HostileImage, ImpossibleTablesOfContentsAreRefused)
{
    kbtest::TempDir dir;
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("a.cue"), kbtest::imageLayout(2, 10)));
    const QByteArray sheet = readBytes(dir.file("a.cue"));
    QByteArray gaps = sheet;
    gaps.replace("INDEX 01 00:00:00", "PREGAP 99:59:74\r\n    INDEX 01 00:00:00");
    gaps.replace("TRACK 02 AUDIO\r\n", "TRACK 02 AUDIO\r\n    POSTGAP 99:59:74\r\n");
    writeBytes(dir.file("gaps.cue"), gaps);
    QByteArray minutes = sheet;
    minutes.replace("INDEX 01 00:00:00", "PREGAP 150:00:00\r\n    INDEX 01 00:00:00");
    writeBytes(dir.file("minutes.cue"), minutes);
    for (const char* name : {"gaps.cue", "minutes.cue"})
        expectRefused(dir.fileUtf8(name));
    // One long pregap that still fits is a valid disc.
    QByteArray fits = sheet;
    fits.replace("INDEX 01 00:00:00", "PREGAP 70:00:00\r\n    INDEX 01 00:00:00");
    writeBytes(dir.file("fits.cue"), fits);
    EXPECT_TRUE(cdrom::openDisc(dir.fileUtf8("fits.cue")).disc);

    cdrom::Toc toc;
    for (int i = 1; i <= 100; ++i)
        toc.tracks.push_back({i, 150 + i * 100, true});
    toc.leadOut = 150 + 101 * 100;
    EXPECT_EQ(toc.impossibility(), "more than 99 tracks");
    toc.tracks.resize(99);
    EXPECT_EQ(toc.impossibility(), "");
    toc.leadOut = cdrom::kLastFrameAddress + 1;
    EXPECT_NE(toc.impossibility(), "");
}
