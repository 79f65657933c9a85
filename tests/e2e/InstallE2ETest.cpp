#include "XvfbSession.h"

#include "tests/support/Eventually.h"
#include "tests/support/SineWav.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace kbtest;

namespace {

const QString kId = QStringLiteral("org.kobaltune.Kobaltune");

// Runs a tool that may take longer than runTool's limit (installing, packaging).
ChildRun runLong(const QString& program, const QStringList& args, const ChildEnv& env = {})
{
    const QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return {};
    return runChildWithEnv(path, args, {}, env, {}, 180000);
}

std::string text(const ChildRun& run) { return (run.out + run.err).toStdString(); }

bool haveTools(const QStringList& tools, std::string& missing)
{
    for (const QString& t : tools) {
        if (QStandardPaths::findExecutable(t).isEmpty()) {
            missing = t.toStdString();
            return false;
        }
    }
    return true;
}

// An empty CD drive for the player to start with, and a WAV file, as a fresh user has them.
void prepareUser(const TempDir& dir, const QString& driveTool, const ChildEnv& env)
{
    kb::demodisc::DiscLayout disc;
    kb::demodisc::ImageTrack track;
    track.pcm = kb::demodisc::testSignal(75 * 5, 1);
    disc.tracks.push_back(track);
    ASSERT_TRUE(kb::demodisc::writeCueBin(dir.file("disc.cue"), disc));
    const ChildRun insert = runLong(driveTool, {"insert", "D:", dir.file("disc.cue")}, env);
    ASSERT_EQ(insert.exitCode, 0) << text(insert);
}

TEST(Install, TheInstalledTreeIsValidAndTheProgramKeepsItsSettingsWithTheUser)
{
    std::string missing;
    if (!haveTools({"cmake", "desktop-file-validate", "appstreamcli", "Xvfb"}, missing))
        GTEST_SKIP() << missing << " is not installed";
    if (!QFileInfo::exists(binaryDir() + "/bin/kobaltune"))
        GTEST_SKIP() << "kobaltune is not built";
    TempDir dir;
    const QString prefix = dir.file("prefix");
    const ChildRun install = runLong("cmake", {"--install", binaryDir(), "--prefix", prefix});
    ASSERT_EQ(install.exitCode, 0) << text(install);

    for (const char* p : {"kobaltune", "kobaltune-drive", "kobaltune-titles", "mcish"})
        EXPECT_TRUE(QFileInfo(prefix + "/bin/" + p).isExecutable()) << p;
    // Development tools stay out.
    for (const char* p : {"kobaltune-demodisc", "kobaltune-shotdisc", "kobaltune-shotmedia", "settings-save-loop"})
        EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/" + p)) << p;
    EXPECT_TRUE(QFileInfo::exists(prefix + "/share/kobaltune/KOBALTUNE.HLP"));
    EXPECT_TRUE(QFileInfo(prefix + "/share/kobaltune/help").isDir());
    EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/KOBALTUNE.HLP"));
    // The SDL output module lies with the driver modules.
    QDirIterator modules(prefix, {"cdaudio.so"}, QDir::Files, QDirIterator::Subdirectories);
    ASSERT_TRUE(modules.hasNext());
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(modules.next()).dir().filePath("sdlsink.so")));
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
        EXPECT_TRUE(QFileInfo::exists(prefix + "/share/icons/hicolor/" + size + "/apps/" + kId + ".png")) << size;
    EXPECT_TRUE(QFileInfo::exists(prefix + "/share/icons/hicolor/scalable/apps/" + kId + ".svg"));

    const QString desktop = prefix + "/share/applications/" + kId + ".desktop";
    const ChildRun entry = runLong("desktop-file-validate", {desktop});
    EXPECT_EQ(entry.exitCode, 0) << text(entry);
    EXPECT_TRUE(entry.out.trimmed().isEmpty()) << text(entry);
    const ChildRun meta = runLong("appstreamcli", {"validate", "--no-net", prefix + "/share/metainfo/" + kId + ".metainfo.xml"});
    EXPECT_EQ(meta.exitCode, 0) << text(meta);

    // The installed program starts (its folder is writable here, as any folder is for
    // root) and power-off writes its settings under XDG_CONFIG_HOME, not beside it.
    XvfbSession xvfb;
    if (!xvfb.running())
        GTEST_SKIP() << "no Xvfb display could be started";
    for (const char* d : {"config", "runtime"})
        QDir(dir.path()).mkpath(d);
    QFile::setPermissions(dir.file("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ChildEnv env;
    env.set = {{"DISPLAY", xvfb.display().toStdString()},
               {"XDG_CONFIG_HOME", dir.fileUtf8("config")},
               {"XDG_RUNTIME_DIR", dir.fileUtf8("runtime")},
               {"KOBALTUNE_AUDIO", "null"},
               {"KOBALTUNE_INSPECT", dir.fileUtf8("panel.json")}};
    env.unset = {"QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"};
    prepareUser(dir, prefix + "/bin/kobaltune-drive", env);
    Child player;
    ASSERT_TRUE(player.start(prefix + "/bin/kobaltune", {}, env));
    ASSERT_TRUE(eventually([&] { return readJson(dir.file("panel.json"))["ready"].toBool(); }, 30000))
        << "the installed program never took input";
    player.signal(SIGTERM);
    ASSERT_TRUE(waitUntil([&] { return !player.running(); }, 10000));
    EXPECT_EQ(player.wait(0), 0);
    EXPECT_TRUE(QFileInfo::exists(dir.file("config/Kobaltune/Kobaltune.ini")));
    EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/Kobaltune.ini"));
}

TEST(Install, TheDebianPackageCarriesItsDependenciesAndItsProgramsRunFromAScratchRoot)
{
    std::string missing;
    if (!haveTools({"cpack", "dpkg-deb", "dpkg-shlibdeps", "fakeroot"}, missing))
        GTEST_SKIP() << missing << " is not installed";
    if (!QFileInfo::exists(binaryDir() + "/bin/kobaltune"))
        GTEST_SKIP() << "kobaltune is not built";
    TempDir dir;
    ChildEnv buildEnv;
    buildEnv.set = {{"KOBALTUNE_BUILD_DIR", binaryDir().toStdString()}};
    const ChildRun package = runLong("bash", {sourceDir() + "/scripts/package.sh", dir.file("out")}, buildEnv);
    ASSERT_EQ(package.exitCode, 0) << text(package);
    const QString deb = QString::fromLocal8Bit(package.out).trimmed().split('\n').last();
    ASSERT_TRUE(deb.endsWith(".deb")) << deb.toStdString();

    const ChildRun depends = runLong("dpkg-deb", {"--field", deb, "Depends"});
    ASSERT_EQ(depends.exitCode, 0) << text(depends);
    const QString line = QString::fromLocal8Bit(depends.out);
    for (const char* dep : {"libc6", "libqt6widgets6", "libfluidsynth3", "libcdio", "libsdl2", "timgm6mb-soundfont",
                            "fonts-dseg", "fonts-ipafont-gothic"})
        EXPECT_TRUE(line.contains(dep)) << dep << " is missing from Depends: " << line.toStdString();

    const ChildRun description = runLong("dpkg-deb", {"--field", deb, "Description"});
    EXPECT_TRUE(description.out.contains("MP3") && !description.out.contains(';')) << text(description);

    const QString root = dir.file("root");
    const ChildRun unpack = runLong("dpkg-deb", {"-x", deb, root});
    ASSERT_EQ(unpack.exitCode, 0) << text(unpack);
    EXPECT_TRUE(QFileInfo::exists(root + "/usr/share/applications/" + kId + ".desktop"));
    EXPECT_TRUE(QFileInfo::exists(root + "/usr/share/kobaltune/KOBALTUNE.HLP"));

    ChildEnv env;
    env.set = {{"XDG_CONFIG_HOME", dir.fileUtf8("config")}, {"KOBALTUNE_AUDIO", "null"}};
    prepareUser(dir, root + "/usr/bin/kobaltune-drive", env);
    const ChildRun list = runLong(root + "/usr/bin/kobaltune-drive", {"list"}, env);
    EXPECT_EQ(list.exitCode, 0) << text(list);
    EXPECT_TRUE(list.out.contains("D: " + dir.file("disc.cue").toLocal8Bit())) << text(list);

    Sine tone;
    tone.samples = tone.rate / 2;
    ASSERT_TRUE(writeSineWav(dir.fileUtf8("tone.wav"), tone, 16));
    const ChildRun mcish = runLong(root + "/usr/bin/mcish",
                                   {"--audio=null", "open " + dir.file("tone.wav") + " type waveaudio alias w",
                                    "status w mode", "close w"},
                                   env);
    EXPECT_EQ(mcish.exitCode, 0) << text(mcish);
    EXPECT_TRUE(mcish.out.contains("0 stopped")) << text(mcish);

    // The SDL output is a module beside the drivers, found from the installed programs when
    // a sound is first played (without a sound card they then play silently).
    ChildEnv sdlEnv;
    sdlEnv.set = {{"XDG_CONFIG_HOME", dir.fileUtf8("config")}, {"KOBALTUNE_AUDIO", "sdl"}};
    const ChildRun played = runLong(root + "/usr/bin/mcish",
                                    {"open " + dir.file("tone.wav") + " type waveaudio alias w", "play w wait", "close w"},
                                    sdlEnv);
    EXPECT_EQ(played.exitCode, 0) << text(played);
    EXPECT_FALSE(played.err.contains("sound output module")) << text(played);
}

} // namespace
