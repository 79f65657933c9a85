#include "XvfbSession.h"

#include "tests/support/Eventually.h"
#include "tests/support/SineWav.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.kobaltune");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The player driven from the desktop's side: its media controls on the session bus (the
// tests run under their own bus) and files named on its command line.
class DesktopE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        built_ = binaryDir() + "/bin/";
        for (const char* p : {"kobaltune", "kobaltune-drive", "kobaltune-titles"}) {
            if (!QFileInfo::exists(built_ + p))
                GTEST_SKIP() << p << " is not built";
        }
        for (const char* tool : {"Xvfb", "xdotool", "gdbus"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed";
        }
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            GTEST_SKIP() << "no session bus (the tests run under dbus-run-session)";
        xvfb_ = std::make_unique<XvfbSession>();
        if (!xvfb_->running())
            GTEST_SKIP() << "no Xvfb display could be started";

        program_ = dir_.file("kobaltune");
        ASSERT_TRUE(preparePlayerFolder(dir_, built_ + "kobaltune", *xvfb_, env_));

        // A titled disc in D: and a second, untitled one kept aside for opening from outside.
        ASSERT_TRUE(writeDisc(dir_.file("disc.cue"), "Piece", 3));
        ASSERT_TRUE(writeDisc(dir_.file("media/other.cue"), "", 2));
        ASSERT_EQ(runTool(built_ + "kobaltune-drive", {"insert", "D:", dir_.file("disc.cue")}, env_), 0);
        for (int i = 0; i < 3; ++i) {
            Sine tone;
            tone.samples = 20 * tone.rate;
            ASSERT_TRUE(writeSineWav(wav(i).toStdString(), tone, 16));
        }
        writeSettings("CD");
        ASSERT_EQ(runTool(built_ + "kobaltune-titles", {"--settings", dir_.file("Kobaltune.ini"), "import", "D:"}, env_), 0);
    }

    static bool writeDisc(const QString& path, const std::string& titlePrefix, int tracks)
    {
        kb::demodisc::DiscLayout disc;
        if (!titlePrefix.empty()) {
            disc.title = "Album of Pieces";
            disc.performer = "The Players";
        }
        for (int t = 0; t < tracks; ++t) {
            kb::demodisc::ImageTrack track;
            track.pcm = kb::demodisc::testSignal(75 * 20, t + 1);
            if (!titlePrefix.empty())
                track.title = titlePrefix + " " + std::to_string(t + 1);
            disc.tracks.push_back(track);
        }
        return kb::demodisc::writeCueBin(path, disc);
    }

    void writeSettings(const char* media)
    {
        QFile ini(dir_.file("Kobaltune.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Option]\r\nMedia=%1\r\nRepeat=ALL\r\nTimeType=SINGLE TIME\r\nAutoRun=0\r\n"
                                 "CurCdDrive=D:\r\n[View]\r\nTop=1500\r\nLeft=1500\r\n").arg(media).toUtf8());
    }

    QString wav(int i) const { return dir_.file(QStringLiteral("media/%1 song.wav").arg(i + 1, 2, 10, QLatin1Char('0'))); }

    QJsonObject panel() const { return readJson(dir_.file("panel.json")); }
    std::string panelText() const { return QJsonDocument(panel()).toJson(QJsonDocument::Compact).toStdString(); }
    bool waitPanel(const std::function<bool(const QJsonObject&)>& holds, int timeoutMs = 15000)
    {
        return eventually([&] { return holds(panel()); }, timeoutMs);
    }
    qint64 capturedFrames() const { return std::max<qint64>(0, (QFileInfo(dir_.file("capture.wav")).size() - 44) / 4); }
    void expectHeard(const std::string& after)
    {
        const qint64 from = capturedFrames();
        EXPECT_TRUE(eventually([&] { return capturedFrames() >= from + 44100 / 2; }, 8000))
            << "nothing was heard after " << after;
    }

    static bool playing(const QJsonObject& p) { return p["pause"].toBool() && !p["play"].toBool(); }
    static bool playingTrack(const QJsonObject& p, const QString& trackNo)
    {
        return p["trackNo"].toString() == trackNo && playing(p);
    }

    // gdbus on the player's media-control object; its printed reply.
    QString gdbus(const QStringList& args, int* rc = nullptr)
    {
        QString out;
        const int code = runTool("gdbus", QStringList{"call", "--session", "--dest", kBusName, "--object-path", kPath} + args,
                                 env_, &out);
        if (rc)
            *rc = code;
        return out;
    }
    int command(const QString& method, const QStringList& args = {})
    {
        int rc = -1;
        gdbus(QStringList{"--method", kPlayer + "." + method} + args, &rc);
        return rc;
    }
    QString property(const QString& name)
    {
        return gdbus({"--method", "org.freedesktop.DBus.Properties.Get", kPlayer, name});
    }

    void startPlayer(const QStringList& args = {})
    {
        ASSERT_TRUE(player_.start(program_, args, env_));
        ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["ready"].toBool(); }))
            << "the window never took input; panel: " << panelText();
        int rc = -1;
        ASSERT_TRUE(eventually([&] { return !property("PlaybackStatus").isEmpty(); }, 10000))
            << "the player is not on the session bus";
        gdbus({"--method", "org.freedesktop.DBus.Peer.Ping"}, &rc);
        ASSERT_EQ(rc, 0);
    }

    void quitPlayer()
    {
        int rc = -1;
        gdbus({"--method", "org.mpris.MediaPlayer2.Quit"}, &rc);
        EXPECT_EQ(rc, 0);
        ASSERT_TRUE(waitUntil([&] { return !player_.running(); }, 10000)) << "Quit did not end the program";
        EXPECT_FALSE(player_.killedBySignal()) << "the program ended by signal " << player_.killSignal();
        EXPECT_EQ(player_.wait(0), 0);
    }

    QString built_;
    TempDir dir_;
    std::unique_ptr<XvfbSession> xvfb_;
    ChildEnv env_;
    QString program_;
    Child player_;
};

TEST_F(DesktopE2E, MediaControlsRunThePanelsCommands)
{
    startPlayer();
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["trackNo"].toString() == "01:" && p["play"].toBool(); }))
        << "the disc was not read; panel: " << panelText();
    EXPECT_TRUE(property("PlaybackStatus").contains("'Stopped'"));

    // Changes are announced: a monitor sees the status turn to Playing.
    Child monitor;
    ASSERT_TRUE(monitor.start(QStandardPaths::findExecutable("gdbus"),
                              {"monitor", "--session", "--dest", kBusName, "--object-path", kPath}, env_, {},
                              ChildStreams{{}, QFile::encodeName(dir_.file("monitor.txt")), {}}));
    ASSERT_TRUE(eventually([&] { return QFileInfo(dir_.file("monitor.txt")).size() > 0; }, 5000))
        << "gdbus monitor did not start";

    ASSERT_EQ(command("Play"), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "01:"); })) << "panel: " << panelText();
    expectHeard("Play");
    const auto monitored = [&] {
        QFile f(dir_.file("monitor.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    EXPECT_TRUE(eventually([&] {
        const QString m = monitored();
        return m.contains("PropertiesChanged") && m.contains("'Playing'");
    }, 5000)) << "no PropertiesChanged with Playing; monitor: " << monitored().toStdString();

    // The metadata carries the disc's titles from the title store.
    const QString meta = property("Metadata");
    EXPECT_TRUE(meta.contains("'Piece 1'")) << meta.toStdString();
    EXPECT_TRUE(meta.contains("'Album of Pieces'")) << meta.toStdString();
    EXPECT_TRUE(meta.contains("'The Players'")) << meta.toStdString();
    EXPECT_TRUE(meta.contains("'xesam:trackNumber': <1>")) << meta.toStdString();
    EXPECT_TRUE(meta.contains(QUrl::fromLocalFile(dir_.file("disc.cue")).toString())) << meta.toStdString();

    ASSERT_EQ(command("Pause"), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["pauseShown"].toBool(); })) << "panel: " << panelText();
    EXPECT_TRUE(property("PlaybackStatus").contains("'Paused'"));
    const qint64 pausedAt = capturedFrames();
    ASSERT_EQ(command("PlayPause"), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return !p["pauseShown"].toBool() && playingTrack(p, "01:"); }))
        << "PlayPause did not resume; panel: " << panelText();
    EXPECT_TRUE(eventually([&] { return capturedFrames() > pausedAt + 44100 / 2; }, 8000)) << "nothing heard on resume";

    ASSERT_EQ(command("Next"), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return playingTrack(p, "02:"); })) << "panel: " << panelText();
    EXPECT_TRUE(eventually([&] { return property("Metadata").contains("'Piece 2'"); }, 5000));
    expectHeard("Next");

    ASSERT_EQ(command("Stop"), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) { return p["play"].toBool(); })) << "panel: " << panelText();
    EXPECT_TRUE(eventually([&] { return property("PlaybackStatus").contains("'Stopped'"); }, 5000));

    // OpenUri of a WAV file: WAVE mode, its folder listed, that very file playing.
    ASSERT_EQ(command("OpenUri", {QUrl::fromLocalFile(wav(1)).toString()}), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["device"].toString() == "WAVE" && p["files"].toInt() == 3 && p["selected"].toInt() == 2 && playing(p);
    })) << "panel: " << panelText();
    expectHeard("OpenUri");
    EXPECT_TRUE(property("Metadata").contains("'02 song.wav'"));

    quitPlayer();
    // Quit is power-off: the options are saved.
    QFile ini(dir_.file("Kobaltune.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Media=WAVE"));
}

TEST_F(DesktopE2E, FilesFromOutsidePlayTheNamedFileAndGoToTheRunningPlayer)
{
    startPlayer({wav(2)});
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["device"].toString() == "WAVE" && p["files"].toInt() == 3 && p["selected"].toInt() == 3 && playing(p);
    })) << "the named file does not play; panel: " << panelText();
    expectHeard("the start with a file");

    // A second start without files ends at once and changes nothing.
    EXPECT_EQ(runTool(program_, {}, env_), 0);
    // A second start with a CUE sheet hands it over: it goes into a new virtual drive and
    // plays in CD mode.
    EXPECT_EQ(runTool(program_, {dir_.file("media/other.cue")}, env_), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["device"].toString() == "CD E:" && playingTrack(p, "01:") && p["trackCount"].toString() == "2";
    })) << "the handed-over disc image does not play; panel: " << panelText();
    expectHeard("the hand-over");
    QString drives;
    ASSERT_EQ(runTool(built_ + "kobaltune-drive", {"list"}, env_, &drives), 0);
    EXPECT_TRUE(drives.contains("E: " + dir_.file("media/other.cue"))) << drives.toStdString();

    // The file that is already the list's, handed over by URI, plays from the list.
    EXPECT_EQ(runTool(program_, {QUrl::fromLocalFile(wav(0)).toString()}, env_), 0);
    ASSERT_TRUE(waitPanel([](const QJsonObject& p) {
        return p["device"].toString() == "WAVE" && p["selected"].toInt() == 1 && playing(p);
    })) << "panel: " << panelText();
    quitPlayer();
}

} // namespace
