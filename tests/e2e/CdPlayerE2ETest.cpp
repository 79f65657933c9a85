#include "HeardTracks.h"
#include "XvfbSession.h"

#include "tests/support/Eventually.h"
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

// Tracks 1 and 2 are long enough that no step of the test outlasts them; track 3 is short
// because the test waits for it to play out.
constexpr int kTrackSeconds[3] = {10, 10, 3};
constexpr double kTrackHz[3] = {440.0, 660.0, 990.0};

// A track anyone can tell apart by ear (a tone of its own on the left) whose every few
// frames are also found nowhere else on the disc (noise of its own on the right).
std::vector<int16_t> trackSignal(int track)
{
    const int sectors = kTrackSeconds[track] * 75;
    std::vector<int16_t> pcm = kb::demodisc::testSignal(sectors, track + 1);
    for (size_t f = 0; f < pcm.size() / 2; ++f)
        pcm[2 * f] = int16_t(std::lround(13000 * std::sin(2 * std::numbers::pi * kTrackHz[track] * double(f) / 44100)));
    return pcm;
}

// What the output should have played after a command: a track from its first frame, or on
// from where the previous piece stopped; and whether to the track's last frame.
struct ExpectedPiece {
    enum Start { FromTrackStart, Resumed };
    int track;
    Start start;
    bool toEnd;
    std::string after;
};

// A resumed track may go back a little (its position is kept to a CD frame, and what was
// still buffered when it paused counts as unplayed), but never skips ahead.
constexpr int64_t kResumeRepeatFrames = 44100 / 4;

class CdPlayerE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString built = binaryDir() + "/bin/kobaltune";
        driveTool_ = binaryDir() + "/bin/kobaltune-drive";
        if (!QFileInfo::exists(built) || !QFileInfo::exists(driveTool_))
            GTEST_SKIP() << "kobaltune or kobaltune-drive is not built";
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        xvfb_ = std::make_unique<XvfbSession>();
        if (!xvfb_->running())
            GTEST_SKIP() << "no Xvfb display could be started";

        // The program keeps its settings beside itself: run a private copy.
        program_ = dir_.file("kobaltune");
        ASSERT_TRUE(preparePlayerFolder(dir_, built, *xvfb_, env_));

        kb::demodisc::DiscLayout disc;
        for (int t = 0; t < 3; ++t) {
            kb::demodisc::ImageTrack track;
            track.pcm = trackSignal(t);
            tracks_.push_back(track.pcm);
            disc.tracks.push_back(track);
        }
        image_ = dir_.file("disc.cue");
        ASSERT_TRUE(kb::demodisc::writeCueBin(image_, disc));
        ASSERT_EQ(runTool(driveTool_, {"insert", "D:", image_}, env_), 0);

        QFile ini(dir_.file("Kobaltune.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Option]\r\nMedia=CD\r\nRepeat=ALL\r\nTimeType=SINGLE TIME\r\nAutoRun=1\r\n"
                  "CurCdDrive=D:\r\n[View]\r\nTop=1500\r\nLeft=1500\r\n");
    }


    QJsonObject panel() const { return readJson(dir_.file("panel.json")); }

    bool waitPanel(const std::function<bool(const QJsonObject&)>& holds, int timeoutMs = 5000)
    {
        return eventually([&] { return holds(panel()); }, timeoutMs);
    }

    int xdo(const QStringList& args) { return runTool("xdotool", args, env_); }
    void key(const QString& k) { EXPECT_EQ(xdo({"key", k}), 0) << "xdotool could not press " << k.toStdString(); }

    std::string panelText() const { return QJsonDocument(panel()).toJson(QJsonDocument::Compact).toStdString(); }

    // Frames the output has recorded so far.
    qint64 capturedFrames() const { return std::max<qint64>(0, (QFileInfo(dir_.file("capture.wav")).size() - 44) / 4); }

    // Waits until the panel shows `track` playing and then until the output has recorded
    // another half second, so the recording holds some of that track whatever the load.
    void expectPlaying(int track, const std::string& after, int timeoutMs = 5000)
    {
        const QString no = QStringLiteral("%1:").arg(track, 2, 10, QLatin1Char('0'));
        EXPECT_TRUE(waitPanel([&](const QJsonObject& p) { return playingTrack(p, no); }, timeoutMs))
            << after << " did not play track " << track << "; panel: " << panelText();
        expectRecording(after);
    }

    // Waits until the output has recorded another half second.
    void expectRecording(const std::string& after)
    {
        const qint64 from = capturedFrames();
        EXPECT_TRUE(eventually([&] { return capturedFrames() >= from + 44100 / 2; }, 5000))
            << "the output stopped recording after " << after;
    }

    // Presses `k`, which should play `track` from its first frame.
    void keyPlays(const QString& k, int track)
    {
        key(k);
        expected_.push_back({track, ExpectedPiece::FromTrackStart, false, k.toStdString()});
        expectPlaying(track, k.toStdString());
    }

    static bool playingTrack(const QJsonObject& p, const QString& trackNo)
    {
        return p["trackNo"].toString() == trackNo && p["pause"].toBool() && !p["play"].toBool();
    }

    TempDir dir_;
    std::unique_ptr<XvfbSession> xvfb_;
    ChildEnv env_;
    QString program_, driveTool_, image_, windowId_;
    Child player_; // killed by its destructor if a test ends early
    std::vector<std::vector<int16_t>> tracks_;
    std::vector<ExpectedPiece> expected_;  // what the output should hold, in order
};

TEST_F(CdPlayerE2E, KeysDriveADiscFromStartToPowerOff)
{
    ASSERT_TRUE(player_.start(program_, {}, env_));
    // Keys are pressed only once the first activation has finished: the window takes them then.
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["ready"].toBool(); }, 15000))
        << "the window never finished its first activation; panel: " << panelText();
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["trackCount"].toString() == "3"; }, 15000))
        << "the disc in D: was not read";

    QString found;
    ASSERT_TRUE(eventually([&] {
        return runTool("xdotool", {"search", "--onlyvisible", "--name", "^Kobaltune$"}, env_, &found) == 0
               && !found.trimmed().isEmpty();
    }, 5000)) << "the window did not show";
    windowId_ = found.trimmed().split('\n').last();
    ASSERT_EQ(xdo({"windowfocus", "--sync", windowId_}), 0);

    // Enter plays track 1 and the read-out advances; next, previous, last, first.
    keyPlays("Return", 1);
    keyPlays("Right", 2);
    keyPlays("Left", 1);
    keyPlays("ctrl+Right", 3);
    keyPlays("ctrl+Left", 1);

    // Repeat ALL: after the last track the disc starts again at track 1.
    key("ctrl+Right");
    expected_.push_back({3, ExpectedPiece::FromTrackStart, true, "ctrl+Right"});
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "03:"); }));
    expected_.push_back({1, ExpectedPiece::FromTrackStart, false, "track 3 ended (repeat ALL)"});
    expectPlaying(1, "the end of track 3 (repeat ALL)", kTrackSeconds[2] * 1000 + 5000);

    // Stop: polling suspended, play enabled, the read-out stands still.
    key("ctrl+Return");
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["play"].toBool() && p["pollSuspended"].toBool() && p["playFromTrackStart"].toBool();
    }));
    const QString stoppedAt = panel()["time"].toString();
    EXPECT_FALSE(eventually([&] { return panel()["time"].toString() != stoppedAt; }, 1500))
        << "the read-out moved after Stop";

    // After Stop, Enter plays the track from its start. Pause by clicking its button; a
    // second click resumes where it paused.
    keyPlays("Return", 1);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["pause"].toBool() && !p["pollSuspended"].toBool(); }));
    xdo({"mousemove", "--window", windowId_, "191", "128", "click", "1"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["pauseShown"].toBool() && !p["timCD"].toBool() && p["pollSuspended"].toBool();
    })) << "Pause did not pause";
    xdo({"mousemove", "--window", windowId_, "191", "128", "click", "1"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return !p["pauseShown"].toBool() && p["timCD"].toBool() && !p["pollSuspended"].toBool();
    })) << "Pause did not resume";
    expected_.push_back({1, ExpectedPiece::Resumed, false, "the second click on Pause"});
    expectPlaying(1, "the second click on Pause");

    // Taking the disc out shows the no-medium state; putting it back plays (auto-run).
    ASSERT_EQ(runTool(driveTool_, {"eject", "D:"}, env_), 0);
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["trackNo"].toString() == "88:" && p["trackCount"].toString() == "0" && !p["play"].toBool();
    }, 8000)) << "no-medium state not shown";
    ASSERT_EQ(runTool(driveTool_, {"insert", "D:", image_}, env_), 0);
    expected_.push_back({1, ExpectedPiece::FromTrackStart, false, "inserting the disc (auto-run)"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["trackCount"].toString() == "3" && p["pause"].toBool();
    }, 8000)) << "the inserted disc did not start; panel: " << panelText();
    expectRecording("inserting the disc (auto-run)");

    // Esc powers off; the settings keep mode, drive and position.
    const QJsonObject last = panel();
    key("Escape");
    ASSERT_TRUE(waitUntil([&] { return !player_.running(); }, 8000)) << "Esc did not end the program";
    EXPECT_FALSE(player_.killedBySignal()) << "the program ended by signal " << player_.killSignal();
    EXPECT_EQ(player_.wait(0), 0);
    QFile ini(dir_.file("Kobaltune.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains("Media=CD")) << text.toStdString();
    EXPECT_TRUE(text.contains("CurCdDrive=D:")) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Top=%1").arg(last["y"].toInt() * 15))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Left=%1").arg(last["x"].toInt() * 15))) << text.toStdString();

    // The output played the disc's own samples, track after track as the keys asked: every
    // piece from its track's first frame, the one played out to its last, and nothing in
    // between but short silences.
    std::vector<int16_t> recorded;
    ASSERT_TRUE(readWavPcm(dir_.file("capture.wav"), recorded)) << "the capture is not a 16-bit stereo WAV";
    const HeardTracks heard = findHeardTracks(recorded, tracks_);
    const std::string report = heard.describe();
    // The test never moves the volume: the output must be at (very nearly) full level.
    EXPECT_NEAR(heard.gain, 1.0, 0.001) << report;
    EXPECT_EQ(heard.strayFrames, 0) << "the output held sound that is not on the disc\n" << report;
    ASSERT_EQ(heard.pieces.size(), expected_.size()) << report;
    for (size_t i = 0; i < expected_.size(); ++i) {
        const ExpectedPiece& want = expected_[i];
        const HeardPiece& got = heard.pieces[i];
        SCOPED_TRACE("piece " + std::to_string(i + 1) + ", after " + want.after + "\n" + report);
        EXPECT_EQ(got.track, want.track);
        if (want.start == ExpectedPiece::FromTrackStart) {
            EXPECT_EQ(got.first, 0) << "did not start at the track's first frame";
        } else {
            ASSERT_GT(i, 0u);
            const HeardPiece& before = heard.pieces[i - 1];
            EXPECT_EQ(got.track, before.track);
            EXPECT_LE(got.first, before.end) << "skipped ahead";
            EXPECT_GE(got.first, before.end - kResumeRepeatFrames) << "went back too far";
        }
        if (want.toEnd) {
            EXPECT_EQ(got.end, int64_t(tracks_[size_t(want.track - 1)].size() / 2))
                << "did not play to the track's last frame";
        }
        EXPECT_LE(got.gapBefore, 44100 / 2) << "a long stretch of silence before this piece";
    }
}

} // namespace
