#include "HeardTracks.h"
#include "XvfbSession.h"

#include "tests/platform/avivideo/TestVideo.h"
#include "tests/platform/sequencer/MidiWriter.h"
#include "tests/platform/waveaudio/TestMedia.h"
#include "tests/support/Eventually.h"
#include "tests/support/SineWav.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace kbtest;

namespace {

// Each file of a folder sounds a tone of its own (WAVE, MP3), so the recording tells which
// one played.
constexpr double kToneHz[3] = {440.0, 660.0, 990.0};
constexpr int kFileSeconds = 2;

struct ModeCase {
    const char* mode;
    const char* title;
    const char* names[3];
};

const ModeCase kCases[] = {
    {"WAVE", "WAVEﾌｧｲﾙの参照", {"01 Dawn.WAV", "02 Noon.wav", "03 Dusk.wav"}},
    {"MP3", "MP3ﾌｧｲﾙの参照", {"a.mp3", "b.MP3", "c.mp3"}},
    {"MIDI", "MIDIﾌｧｲﾙの参照", {"a.mid", "b.mid", "c.rmi"}},
    {"VIDEO", "VIDEOﾌｧｲﾙの参照", {"a.mpg", "b.mpg", "c.mpg"}},
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.mode; }

// The strength of one frequency in a stretch of the left channel (Goertzel).
double toneLevel(const std::vector<int16_t>& pcm, size_t firstFrame, size_t frames, double hz)
{
    const double w = 2 * std::numbers::pi * hz / 44100;
    double s1 = 0, s2 = 0;
    for (size_t i = firstFrame; i < firstFrame + frames && 2 * i < pcm.size(); ++i) {
        const double s = pcm[2 * i] + 2 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2);
}

class FileModeE2E : public ::testing::TestWithParam<ModeCase> {
protected:
    void SetUp() override
    {
        const QString built = binaryDir() + "/bin/kobaltune";
        if (!QFileInfo::exists(built))
            GTEST_SKIP() << "kobaltune is not built";
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        if (QString(GetParam().mode) == "MP3" && !haveMp3Encoder())
            GTEST_SKIP() << "no MP3 encoder to make the test files";
        xvfb_ = std::make_unique<XvfbSession>();
        if (!xvfb_->running())
            GTEST_SKIP() << "no Xvfb display could be started";

        program_ = dir_.file("kobaltune");
        ASSERT_TRUE(preparePlayerFolder(dir_, built, *xvfb_, env_));

        // The player needs a CD drive to start: an empty virtual one.
        const QString driveTool = binaryDir() + "/bin/kobaltune-drive";
        kb::demodisc::DiscLayout disc;
        kb::demodisc::ImageTrack track;
        track.pcm.assign(size_t(75 * kb::demodisc::kSamplesPerSector * 2), 0);
        disc.tracks.push_back(track);
        ASSERT_TRUE(kb::demodisc::writeCueBin(dir_.file("disc.cue"), disc));
        ASSERT_EQ(runTool(driveTool, {"insert", "D:", dir_.file("disc.cue")}, env_), 0);
        ASSERT_EQ(runTool(driveTool, {"eject", "D:"}, env_), 0);

        writeMedia();
        QFile ini(dir_.file("Kobaltune.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Option]\r\nMedia=%1\r\nRepeat=ALL\r\nTimeType=SINGLE TIME\r\nAutoRun=0\r\n"
                                 "CurCdDrive=D:\r\n[View]\r\nTop=1500\r\nLeft=1500\r\n").arg(GetParam().mode).toUtf8());
    }

    QString media(int i) const { return dir_.file("media/") + QString::fromUtf8(GetParam().names[i]); }

    void writeMedia()
    {
        const QString mode = GetParam().mode;
        for (int i = 0; i < 3; ++i) {
            const std::string path = media(i).toStdString();
            Sine tone;
            tone.samples = int64_t(kFileSeconds) * tone.rate;
            tone.frequency = kToneHz[i];
            if (mode == "WAVE") {
                ASSERT_TRUE(writeSineWav(path, tone, 16));
            } else if (mode == "MP3") {
                ASSERT_TRUE(writeSineMp3(path, tone));
            } else if (mode == "MIDI") {
                const auto song = kbtest::fourSecondSong();
                ASSERT_TRUE(kbtest::writeFile(path, i == 2 ? kbtest::rmid(song) : song));
            } else {
                VideoSpec spec;
                spec.seconds = kFileSeconds;
                ASSERT_TRUE(writeTestVideo(path, spec));
            }
        }
        // Files of other modes in the same folder stay out of the list.
        QFile other(dir_.file("media/notes.txt"));
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    }

    QJsonObject panel() const { return readJson(dir_.file("panel.json")); }
    std::string panelText() const { return QJsonDocument(panel()).toJson(QJsonDocument::Compact).toStdString(); }
    // The limit is a safety net for a hang; sanitizer builds run the player several times slower.
    bool waitPanel(const std::function<bool(const QJsonObject&)>& holds, int timeoutMs = 30000)
    {
        return eventually([&] { return holds(panel()); }, timeoutMs);
    }
    int xdo(const QStringList& args) { return runTool("xdotool", args, env_); }
    QString findWindow(const QString& name)
    {
        QString found;
        eventually([&] {
            return runTool("xdotool", {"search", "--onlyvisible", "--name", name}, env_, &found) == 0
                   && !found.trimmed().isEmpty();
        }, 5000);
        return found.trimmed().split('\n').last();
    }
    qint64 capturedFrames() const { return std::max<qint64>(0, (QFileInfo(dir_.file("capture.wav")).size() - 44) / 4); }

    static bool playingItem(const QJsonObject& p, int item)
    {
        return p["selected"].toInt() == item && p["pause"].toBool() && !p["play"].toBool();
    }

    TempDir dir_;
    std::unique_ptr<XvfbSession> xvfb_;
    ChildEnv env_;
    QString program_;
    Child player_; // killed by its destructor if a test ends early
};

TEST_P(FileModeE2E, OpenButtonListsTheFolderAndTheListPlaysInOrder)
{
    const ModeCase& c = GetParam();
    ASSERT_TRUE(player_.start(program_, {}, env_));
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["ready"].toBool(); }, 15000))
        << "the window never took input; panel: " << panelText();
    const QString window = findWindow("^Kobaltune$");
    ASSERT_FALSE(window.isEmpty());

    // The open button shows the mode's dialog; the path is typed into it and Enter picks it.
    ASSERT_EQ(xdo({"mousemove", "--window", window, "484", "15", "click", "1"}), 0);
    ASSERT_TRUE(waitPanel([&](const QJsonObject& p) { return p["dialog"].toString() == QString::fromUtf8(c.title); }))
        << "no open dialog; panel: " << panelText();
    const QString dialog = findWindow(QString::fromUtf8(c.title));
    ASSERT_FALSE(dialog.isEmpty());
    ASSERT_EQ(xdo({"windowfocus", "--sync", dialog}), 0);
    ASSERT_EQ(xdo({"type", "--delay", "5", media(1)}), 0);
    ASSERT_EQ(xdo({"key", "Return"}), 0);

    // The folder is listed (three files, not the text file), the first selected and opened.
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["dialog"].toString().isEmpty() && p["files"].toInt() == 3 && p["selected"].toInt() == 1 && p["play"].toBool();
    })) << "panel: " << panelText();
    EXPECT_FALSE(panel()["pause"].toBool()) << "opening does not play";

    // A click on the second item plays it.
    const QJsonObject before = panel();
    ASSERT_TRUE(before.contains("item2x"));
    const qint64 clickFrame = capturedFrames();
    ASSERT_EQ(xdo({"mousemove", "--window", window, QString::number(before["item2x"].toInt()),
                   QString::number(before["item2y"].toInt()), "click", "1"}), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return playingItem(p, 2); })) << "panel: " << panelText();
    EXPECT_TRUE(eventually([&] { return capturedFrames() >= clickFrame + 44100 / 2; }, 8000)) << "nothing was heard";

    if (QString(c.mode) == "VIDEO") {
        EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return p["videoLit"].toDouble() > 0.1; }))
            << "the video box stayed black; panel: " << panelText();
    }
    if (QString(c.mode) == "WAVE" || QString(c.mode) == "MP3") {
        std::vector<int16_t> pcm;
        ASSERT_TRUE(readWavPcm(dir_.file("capture.wav"), pcm));
        // The loudest half second heard after the click is the second file's tone.
        const size_t frames = 44100 / 2;
        const size_t from = std::min(pcm.size() / 2 - frames, size_t(clickFrame));
        size_t at = from;
        double loudest = -1;
        for (size_t f = from; f + frames <= pcm.size() / 2; f += frames / 4) {
            const double level = toneLevel(pcm, f, frames, kToneHz[1]);
            if (level > loudest) {
                loudest = level;
                at = f;
            }
        }
        EXPECT_GT(toneLevel(pcm, at, frames, kToneHz[1]), 10 * toneLevel(pcm, at, frames, kToneHz[0]));
        EXPECT_GT(toneLevel(pcm, at, frames, kToneHz[1]), 10 * toneLevel(pcm, at, frames, kToneHz[2]));
    }

    // Repeat ALL walks on to the last file and back to the first.
    const int fileMs = (QString(c.mode) == "MIDI" ? 4 : kFileSeconds) * 1000;
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return playingItem(p, 3); }, fileMs + 6000))
        << "the third file did not follow; panel: " << panelText();
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return playingItem(p, 1); }, fileMs + 6000))
        << "the list did not wrap to its first file; panel: " << panelText();
}

INSTANTIATE_TEST_SUITE_P(Modes, FileModeE2E, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.mode); });

} // namespace
