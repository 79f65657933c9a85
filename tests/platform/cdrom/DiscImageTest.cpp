#include "platform/cdrom/Disc.h"
#include "tests/platform/cdrom/DiscImageHelpers.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace kb;
using demodisc::DiscLayout;
using demodisc::ImageTrack;

namespace {



std::vector<int16_t> joined(const DiscLayout& s)
{
    std::vector<int16_t> all;
    for (const ImageTrack& t : s.tracks)
        all.insert(all.end(), t.pcm.begin(), t.pcm.end());
    return all;
}

} // namespace

TEST(DiscImage, TocOfCueBinWithManyTrackCounts)
{
    for (int n : {1, 3, 12, 35}) {
        kbtest::TempDir dir;
        const DiscLayout s = kbtest::imageLayout(n, 20);
        ASSERT_TRUE(demodisc::writeCueBin(dir.file("d.cue"), s));
        auto opened = cdrom::openDisc(dir.fileUtf8("d.cue"));
        ASSERT_TRUE(opened.disc) << opened.message;
        const cdrom::Toc& toc = opened.disc->toc();
        ASSERT_EQ(toc.trackCount(), n);
        int start = 150;
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(toc.tracks[static_cast<size_t>(i)].start, start);
            EXPECT_EQ(toc.trackLength(i + 1), 20 + i - (i + 1 == n ? 1 : 0));
            start += 20 + i;
        }
        EXPECT_EQ(toc.leadOut, start);
        EXPECT_EQ(toc.discLength(), start - 150 - 1);
    }
}

TEST(DiscImage, AudioSamplesComeBackExactly)
{
    kbtest::TempDir dir;
    const DiscLayout s = kbtest::imageLayout(3, 10);
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("d.cue"), s));
    auto opened = cdrom::openDisc(dir.fileUtf8("d.cue"));
    ASSERT_TRUE(opened.disc);
    EXPECT_EQ(kbtest::readFrames(*opened.disc, 150, 33), joined(s));
    // Reads stop at the lead-out.
    std::vector<int16_t> buf(10 * 588 * 2);
    EXPECT_EQ(opened.disc->readAudio(150 + 30, 10, buf.data()), 3);
    EXPECT_EQ(opened.disc->readAudio(150 + 33, 1, buf.data()), 0);
}

TEST(DiscImage, PerTrackWavSheetMatchesTheBinImage)
{
    kbtest::TempDir dir;
    DiscLayout s = kbtest::imageLayout(3, 12);
    s.tracks[1].pregapSectors = 5;
    s.tracks[2].pcm.resize(s.tracks[2].pcm.size() - 100 * 2); // not a whole sector
    ASSERT_TRUE(demodisc::writeCuePerTrackWav(dir.file("wav.cue"), s));
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("bin.cue"), s));
    auto wav = cdrom::openDisc(dir.fileUtf8("wav.cue"));
    auto bin = cdrom::openDisc(dir.fileUtf8("bin.cue"));
    ASSERT_TRUE(wav.disc) << wav.message;
    ASSERT_TRUE(bin.disc) << bin.message;
    const cdrom::Toc& t = wav.disc->toc();
    ASSERT_EQ(t.trackCount(), 3);
    EXPECT_EQ(t.tracks[1].start, 150 + 12 + 5); // INDEX 01 after the pregap
    EXPECT_EQ(t.leadOut, bin.disc->toc().leadOut);
    const int n = t.leadOut - 150;
    EXPECT_EQ(kbtest::readFrames(*wav.disc, 150, n), kbtest::readFrames(*bin.disc, 150, n));
    // A read in the middle (a seek in the decoder) is exact too.
    EXPECT_EQ(kbtest::readFrames(*wav.disc, 150 + 20, 4), kbtest::readFrames(*bin.disc, 150 + 20, 4));
}

TEST(DiscImage, DataTrackIsReportedAndReadsAsSilence)
{
    kbtest::TempDir dir;
    DiscLayout s = kbtest::imageLayout(2, 10);
    ImageTrack data;
    data.data = true;
    data.dataSectors = 30;
    s.tracks.push_back(data);
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("d.cue"), s));
    auto opened = cdrom::openDisc(dir.fileUtf8("d.cue"));
    ASSERT_TRUE(opened.disc);
    const cdrom::Toc& toc = opened.disc->toc();
    ASSERT_EQ(toc.trackCount(), 3);
    EXPECT_TRUE(toc.tracks[0].audio);
    EXPECT_FALSE(toc.tracks[2].audio);
    const auto pcm = kbtest::readFrames(*opened.disc, toc.tracks[2].start, 30);
    EXPECT_TRUE(std::all_of(pcm.begin(), pcm.end(), [](int16_t v) { return v == 0; }));
}

TEST(DiscImage, BinNamedDifferentlyFromItsSheet)
{
    kbtest::TempDir dir;
    const DiscLayout s = kbtest::imageLayout(2, 10);
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("album.cue"), s, "Other Name (disc).bin"));
    auto opened = cdrom::openDisc(dir.fileUtf8("album.cue"));
    ASSERT_TRUE(opened.disc) << opened.message;
    EXPECT_EQ(kbtest::readFrames(*opened.disc, 150, 21), joined(s));
}

TEST(DiscImage, BrokenImagesGiveCleanErrors)
{
    kbtest::TempDir dir;
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("gone.cue"), kbtest::imageLayout(2, 10)));
    QFile::remove(dir.file("gone.bin"));
    auto missing = cdrom::openDisc(dir.fileUtf8("gone.cue"));
    EXPECT_FALSE(missing.disc);
    EXPECT_EQ(missing.error, cdrom::DiscError::NotFound);
    EXPECT_NE(missing.message.find("gone.bin"), std::string::npos);

    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("garbage.cue", QByteArray(5000, '\x01') + QByteArray("\0\xff\xfe", 3));
    write("notracks.cue", "FILE \"x.bin\" BINARY\n");
    write("badtime.cue", "FILE \"gone.cue\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:99:00\n");
    write("order.cue", "FILE \"gone.cue\" BINARY\n TRACK 02 AUDIO\n INDEX 01 00:00:00\n"
                       " TRACK 01 AUDIO\n INDEX 01 00:00:00\n");
    for (const char* name : {"garbage.cue", "notracks.cue", "badtime.cue", "order.cue"}) {
        auto r = cdrom::openDisc(dir.fileUtf8(name));
        EXPECT_FALSE(r.disc) << name;
        EXPECT_EQ(r.error, cdrom::DiscError::Invalid) << name;
    }
    EXPECT_EQ(cdrom::openDisc(dir.fileUtf8("nothing.cue")).error, cdrom::DiscError::NotFound);
}

TEST(DiscImage, TruncatedBinEndsWhereTheDataEnds)
{
    kbtest::TempDir dir;
    const DiscLayout s = kbtest::imageLayout(3, 10);
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("t.cue"), s));
    QFile bin(dir.file("t.bin"));
    ASSERT_TRUE(bin.resize(25 * 2352 + 1000)); // cut inside track 3, mid-sector
    auto opened = cdrom::openDisc(dir.fileUtf8("t.cue"));
    ASSERT_TRUE(opened.disc) << opened.message;
    EXPECT_EQ(opened.disc->toc().leadOut, 150 + 25);
    const auto pcm = kbtest::readFrames(*opened.disc, 150, 25);
    const auto all = joined(s);
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), all.begin()));

    // Cut before track 3 begins: the sheet points past the data.
    ASSERT_TRUE(bin.resize(15 * 2352));
    auto broken = cdrom::openDisc(dir.fileUtf8("t.cue"));
    EXPECT_FALSE(broken.disc);
    EXPECT_EQ(broken.error, cdrom::DiscError::Invalid);
}

TEST(DiscImage, SheetTitlesInUtf8AndCp932)
{
    kbtest::TempDir dir;
    DiscLayout s = kbtest::imageLayout(2, 10);
    s.title = "夜の街";
    s.performer = "ｺﾊﾞﾙﾄ";
    s.tracks[1].title = "二曲目";
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("u.cue"), s));
    auto utf8 = cdrom::openDisc(dir.fileUtf8("u.cue"));
    ASSERT_TRUE(utf8.disc);
    EXPECT_EQ(utf8.disc->titles().album, "夜の街");
    EXPECT_EQ(utf8.disc->titles().performer, "ｺﾊﾞﾙﾄ");
    ASSERT_EQ(utf8.disc->titles().tracks.size(), 2u);
    EXPECT_EQ(utf8.disc->titles().tracks[1], "二曲目");

    QFile cue(dir.file("u.cue"));
    ASSERT_TRUE(cue.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(cue.readAll());
    cue.close();
    QStringEncoder toSjis("Shift_JIS");
    QFile sjis(dir.file("s.cue"));
    ASSERT_TRUE(sjis.open(QIODevice::WriteOnly));
    sjis.write(QByteArray(toSjis(text)));
    sjis.close();
    auto cp932 = cdrom::openDisc(dir.fileUtf8("s.cue"));
    ASSERT_TRUE(cp932.disc) << cp932.message;
    EXPECT_EQ(cp932.disc->titles().album, "夜の街");
    EXPECT_EQ(cp932.disc->titles().tracks[1], "二曲目");
}
