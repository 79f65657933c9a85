// Writes the seed corpora of the fuzz targets into fuzz/seeds/<target>/: small, valid
// inputs of every kind each parser reads, all made here (no media from elsewhere).
#include "tests/platform/avivideo/TestVideo.h"
#include "tests/platform/sequencer/MidiWriter.h"
#include "tests/platform/waveaudio/TestMedia.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <cstdio>

namespace {

QString root;

bool put(const QString& target, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(root + "/" + target);
    QFile f(root + "/" + target + "/" + name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray bytesOf(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

bool mciSeeds()
{
    const char* const scripts[][2] = {
        {"cd", "set c time format tmsf\nstatus c position track 2\nplay c from 2 to 2:0:0:10\nstatus c mode\n"
               "stop c\nseek c to 0:2:74\nstatus c length track 1\ninfo c identity"},
        {"cd-player", "status 2 media present\nstatus 2 number of tracks\nset 2 time format msf\n"
                      "status 2 current track\nplay 2\npause 2\nresume 2\nseek 2 to start"},
        {"wave", "status w length\nset w time format bytes\nplay w from 100 to 2000 notify\nstatus w position\n"
                 "pause w\nresume w\nseek w to end\nset w time format samples"},
        {"midi", "set m time format smpte 30 drop\nstatus m length\nseek m to 0:0:0:15\nplay m\n"
                 "set m time format song pointer\nstatus m position\nstop m"},
        {"video", "put v destination at 0 0 320 240\nwindow v state hide\nwindow v handle default\n"
                  "play v from 3 to 10\nstatus v position\nput v destination\nwindow v state show"},
        {"open-close", "close w\nopen \"tone.wav\" alias w\ncapability w can play\nclose all\n"
                       "open V: type cdaudio alias c\nopen waveaudio alias 2 notify\nclose 2"},
        {"errors", "play 2 from 1:2:3:4:5\nstatus 2\nopen x.wav alias all\nseek 2 to -5000\n"
                   "set 2 door open door closed\nplay \"2\nstatus 2 track\ninfo c product"},
        {"door", "set c door open\nstatus c mode\nset c door closed\nstatus c media present"},
    };
    bool ok = true;
    for (const auto& s : scripts)
        ok = put("mci_command", s[0], s[1]) && ok;
    return ok;
}

bool iniSeeds()
{
    const QByteArray settings = "[Option]\r\nTemae=0\r\nTimeType=SINGLE TIME\r\nRepeat=ALL\r\nFolderName=/music/\r\n"
                                "Media=CD\r\nAutoRun=1\r\nCurCdDrive=D:\r\n[View]\r\nTop=1500\r\nLeft=300\r\n"
                                "[1A2B3C]\r\nAlbumTitle=夜の街\r\nNameOfArtist=ｺﾊﾞﾙﾄ\r\nTitleOfTrack1=\"  quoted  \"\r\n"
                                "FontSize=9\r\nFontName=Times New Roman\r\nFontExt=1000\r\n";
    QStringEncoder le(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QStringEncoder be(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
    const QString text = QString::fromUtf8(settings);
    return put("ini_store", "settings", settings)
        && put("ini_store", "utf16le", QByteArray(le(text)) + QByteArray(4, '\0'))
        && put("ini_store", "utf16be", be(text))
        && put("ini_store", "odd-lines", "; comment\n  [ Sp aced ]  \nkey = value \n=empty name\nno equals\n"
                                        "[Option]\rTemae=1\r[option]\nTemae=2\n[]\nk=v")
        && put("ini_store", "bom-nul", QByteArray("\xEF\xBB\xBF[S]\r\nk=v\r\n") + QByteArray(3, '\0'));
}

bool cueSeeds()
{
    return put("cue_sheet", "bin", "REM GENRE Test\r\nPERFORMER \"Artist\"\r\nTITLE \"Album\"\r\n"
                                   "FILE \"disc.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n"
                                   "  TRACK 02 AUDIO\r\n    TITLE \"二曲目\"\r\n    INDEX 00 00:00:20\r\n"
                                   "    INDEX 01 00:00:25\r\n")
        && put("cue_sheet", "wav", "FILE \"a.wav\" WAVE\n  TRACK 01 AUDIO\n    PREGAP 00:01:00\n    INDEX 01 00:00:00\n"
                                   "FILE \"a.wav\" WAVE\n  TRACK 02 AUDIO\n    INDEX 01 00:00:10\n    POSTGAP 00:00:30\n")
        && put("cue_sheet", "data", "FILE \"disc.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
                                    "  TRACK 02 AUDIO\n    FLAGS DCP\n    ISRC ABCDE1234567\n    INDEX 01 00:00:30\n")
        && put("cue_sheet", "other-name", "FILE \"Other Name.bin\" MOTOROLA\n  TRACK 1 AUDIO\n    INDEX 1 0:0:0\n");
}

bool discImageSeeds(const QString& scratch)
{
    kb::demodisc::DiscLayout layout;
    layout.tracks.push_back({kb::demodisc::testSignal(3, 1)});
    kb::demodisc::ImageTrack second{kb::demodisc::testSignal(2, 2)};
    second.pregapSectors = 1;
    layout.tracks.push_back(second);
    kb::demodisc::ImageTrack data;
    data.data = true;
    data.dataSectors = 2;
    layout.tracks.push_back(data);
    if (!kb::demodisc::writeNrg(scratch + "/d.nrg", layout, 0))
        return false;
    const QByteArray toc = "CD_DA\n\nCD_TEXT {\n  LANGUAGE_MAP { 0 : EN }\n  LANGUAGE 0 { TITLE \"Album\" }\n}\n"
                           "TRACK AUDIO\nFILE \"data.bin\" 0 00:10:00\n\nTRACK AUDIO\nPREGAP 00:00:10\n"
                           "FILE \"data.bin\" 00:10:00 00:20:00\n";
    const QByteArray plain = "CD_DA\n\nTRACK AUDIO\nFILE \"data.bin\" 0 00:00:30\n\n"
                             "TRACK AUDIO\nFILE \"data.bin\" 00:00:30 00:00:30\n";
    return put("disc_image", "nrg", QByteArray(1, '\0') + fileBytes(scratch + "/d.nrg"))
        && put("disc_image", "toc", QByteArray(1, '\1') + toc)
        && put("disc_image", "toc-plain", QByteArray(1, '\1') + plain);
}

bool midiSeeds()
{
    kbtest::MidiTrack t;
    t.tempo(0, 250000).delta(0).raw({0x90, 60, 100}).delta(500).raw({0x80, 60, 0}).end(0);
    return put("midi_file", "format1", bytesOf(kbtest::fourSecondSong()))
        && put("midi_file", "rmid", bytesOf(kbtest::rmid(kbtest::fourSecondSong())))
        && put("midi_file", "smpte", bytesOf(kbtest::smf(0, 0xE728, {t})));
}

bool mediaSeeds(const QString& scratch)
{
    const std::string s = scratch.toStdString();
    bool ok = kb::demodisc::writeWav(scratch + "/t.wav", kb::demodisc::testSignal(8, 4))
        && kbtest::writeTestVideo(s + "/clip.avi", {"avi", 1, 25, 32, 24, true, false})
        && kbtest::writeTestVideo(s + "/clip.mpg", {"mpeg", 1, 25, 32, 24, true, true})
        && kbtest::writeTestVideo(s + "/sound.mp2", {"mp2", 1, 25, 32, 24, false, true});
    kbtest::Sine sine;
    sine.samples = 4410;
    if (kbtest::haveMp3Encoder())
        ok = ok && kbtest::writeSineMp3(s + "/t.mp3", sine, 32000) && put("media_open", "mp3", fileBytes(scratch + "/t.mp3"));
    return ok && put("media_open", "wav", fileBytes(scratch + "/t.wav"))
        && put("media_open", "clip.avi", fileBytes(scratch + "/clip.avi"))
        && put("media_open", "mpg", fileBytes(scratch + "/clip.mpg"))
        && put("media_open", "mp2", fileBytes(scratch + "/sound.mp2"));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kobaltune-fuzz-seeds SEED-FOLDER\n");
        return 2;
    }
    root = QString::fromLocal8Bit(argv[1]);
    const QString scratch = root + "/.scratch";
    QDir().mkpath(scratch);
    const bool ok = mciSeeds() && iniSeeds() && cueSeeds() && discImageSeeds(scratch) && midiSeeds()
        && mediaSeeds(scratch);
    QDir(scratch).removeRecursively();
    if (!ok)
        std::fprintf(stderr, "kobaltune-fuzz-seeds: a seed could not be written\n");
    return ok ? 0 : 1;
}
