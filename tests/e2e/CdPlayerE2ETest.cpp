#include "XvfbSession.h"

#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

constexpr int kTrackSeconds = 3;

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
        ASSERT_TRUE(QFile::copy(built, program_));
        QDir(dir_.path()).mkpath("config");
        QDir(dir_.path()).mkpath("runtime");
        QFile::setPermissions(dir_.file("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("DISPLAY", xvfb_->display());
        env_.insert("XDG_CONFIG_HOME", dir_.file("config"));
        env_.insert("XDG_RUNTIME_DIR", dir_.file("runtime"));
        env_.insert("KOBALTUNE_AUDIO", "capture:" + dir_.file("capture.wav"));
        env_.insert("KOBALTUNE_INSPECT", dir_.file("panel.json"));
        env_.remove("QT_QPA_PLATFORM");

        kb::demodisc::DiscLayout disc;
        for (int t = 0; t < 3; ++t) {
            kb::demodisc::ImageTrack track;
            track.pcm = kb::demodisc::testSignal(kTrackSeconds * 75, t + 1);
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

    void TearDown() override
    {
        if (player_.state() != QProcess::NotRunning) {
            player_.kill();
            player_.waitForFinished(3000);
        }
    }

    QJsonObject panel() const { return readJson(dir_.file("panel.json")); }

    bool waitPanel(const std::function<bool(const QJsonObject&)>& holds, int timeoutMs = 5000)
    {
        return waitUntil([&] { return holds(panel()); }, timeoutMs);
    }

    int xdo(const QStringList& args) { return runTool("xdotool", args, env_); }
    void key(const QString& k) { xdo({"key", k}); }

    static bool playingTrack(const QJsonObject& p, const QString& trackNo)
    {
        return p["trackNo"].toString() == trackNo && p["pause"].toBool() && !p["play"].toBool();
    }

    TempDir dir_;
    std::unique_ptr<XvfbSession> xvfb_;
    QProcessEnvironment env_;
    QString program_, driveTool_, image_, windowId_;
    QProcess player_;
};

TEST_F(CdPlayerE2E, KeysDriveADiscFromStartToPowerOff)
{
    player_.setProcessEnvironment(env_);
    player_.setProcessChannelMode(QProcess::ForwardedChannels);
    player_.start(program_, {});
    ASSERT_TRUE(player_.waitForStarted(5000));
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["trackCount"].toString() == "3"; }, 15000))
        << "the disc in D: was not read";

    QString found;
    ASSERT_TRUE(waitUntil([&] {
        return runTool("xdotool", {"search", "--onlyvisible", "--name", "^Kobaltune$"}, env_, &found) == 0
               && !found.trimmed().isEmpty();
    }, 5000));
    windowId_ = found.trimmed().split('\n').last();
    xdo({"windowfocus", "--sync", windowId_});

    // Enter plays track 1 and the read-out advances.
    key("Return");
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "01:"); })) << "Enter did not play";
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return readOutSeconds(p["time"].toString()) >= 1; }, 4000))
        << "the read-out did not advance";

    // Next, previous, last, first.
    key("Right");
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "02:"); }));
    key("Left");
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "01:"); }));
    key("ctrl+Right");
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "03:"); }));
    key("ctrl+Left");
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "01:"); }));

    // Repeat ALL: after the last track the disc starts again at track 1.
    key("ctrl+Right");
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "03:"); }));
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return playingTrack(p, "01:") && readOutSeconds(p["time"].toString()) <= 1;
    }, kTrackSeconds * 1000 + 5000)) << "repeat ALL did not wrap to track 1";

    // Stop: polling suspended, play enabled, the read-out stands still.
    key("ctrl+Return");
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["play"].toBool() && p["pollSuspended"].toBool() && p["playFromTrackStart"].toBool();
    }));
    const QString stoppedAt = panel()["time"].toString();
    waitUntil([] { return false; }, 1500);
    EXPECT_EQ(panel()["time"].toString(), stoppedAt);

    // Pause by clicking its button; a second click resumes.
    key("Return");
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["pause"].toBool() && !p["pollSuspended"].toBool(); }));
    xdo({"mousemove", "--window", windowId_, "191", "128", "click", "1"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["pauseShown"].toBool() && !p["timCD"].toBool() && p["pollSuspended"].toBool();
    })) << "Pause did not pause";
    xdo({"mousemove", "--window", windowId_, "191", "128", "click", "1"});
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return !p["pauseShown"].toBool() && p["timCD"].toBool() && !p["pollSuspended"].toBool();
    })) << "Pause did not resume";

    // Taking the disc out shows the no-medium state; putting it back plays (auto-run).
    ASSERT_EQ(runTool(driveTool_, {"eject", "D:"}, env_), 0);
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["trackNo"].toString() == "88:" && p["trackCount"].toString() == "0" && !p["play"].toBool();
    }, 8000)) << "no-medium state not shown";
    ASSERT_EQ(runTool(driveTool_, {"insert", "D:", image_}, env_), 0);
    EXPECT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["trackCount"].toString() == "3" && p["pause"].toBool();
    }, 8000)) << "the inserted disc did not start";

    // Esc powers off; the settings keep mode, drive and position.
    const QJsonObject last = panel();
    key("Escape");
    ASSERT_TRUE(player_.waitForFinished(8000)) << "Esc did not end the program";
    QFile ini(dir_.file("Kobaltune.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(ini.readAll());
    EXPECT_TRUE(text.contains("Media=CD")) << text.toStdString();
    EXPECT_TRUE(text.contains("CurCdDrive=D:")) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Top=%1").arg(last["y"].toInt() * 15))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Left=%1").arg(last["x"].toInt() * 15))) << text.toStdString();

    // The captured sound holds audio (not only silence).
    QFile wav(dir_.file("capture.wav"));
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const QByteArray data = wav.readAll().mid(44);
    const auto* samples = reinterpret_cast<const int16_t*>(data.constData());
    qsizetype loud = 0;
    for (qsizetype i = 0; i < data.size() / 2; ++i)
        loud += std::abs(samples[i]) > 1000 ? 1 : 0;
    EXPECT_GT(loud, 44100) << "less than half a second of sound was captured";
}

} // namespace
