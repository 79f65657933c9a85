#include "platform/cdrom/DriveTable.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/DriveEvents.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace kb;

namespace {

struct ToolRun {
    int exitCode;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& args)
{
    const kbtest::ChildRun r = kbtest::runChild(kbtest::binaryDir() + "/bin/kobaltune-drive", args);
    return {r.exitCode, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}

} // namespace

// The tool runs in another process, on the same private XDG_CONFIG_HOME as this test; the
// drive table of this process sees its changes and raises the events.
TEST(DriveTool, InsertEjectRemoveAndTheEventsTheyRaise)
{
    kbtest::TempDir dir;
    demodisc::DiscLayout layout;
    layout.tracks.push_back({demodisc::testSignal(10, 1)});
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("a.cue"), layout));
    runTool({"remove", "G:"});

    auto table = cdrom::makeSystemDriveTable();
    kbtest::DriveEvents receiver;
    table->addEventReceiver(&receiver);

    ToolRun r = runTool({"insert", "g", dir.file("a.cue")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_TRUE(kbtest::eventually([&] { return receiver.seen.size() >= 1; }));
    ASSERT_EQ(receiver.seen.size(), size_t{1});
    EXPECT_EQ(receiver.seen[0], std::make_pair(cdrom::kDeviceArrival, std::string("G:")));
    r = runTool({"list"});
    EXPECT_TRUE(r.out.contains("G: " + dir.file("a.cue") + "\n")) << r.out.toStdString();
    const auto drives = table->drives();
    auto g = std::find_if(drives.begin(), drives.end(), [](const auto& d) { return d.name == "G:"; });
    ASSERT_NE(g, drives.end());
    EXPECT_TRUE(g->isVirtual);

    ASSERT_EQ(runTool({"eject", "G:"}).exitCode, 0);
    ASSERT_TRUE(kbtest::eventually([&] { return receiver.seen.size() >= 2; }));
    ASSERT_EQ(receiver.seen.size(), size_t{2});
    EXPECT_EQ(receiver.seen[1], std::make_pair(cdrom::kDeviceRemoveComplete, std::string("G:")));
    EXPECT_TRUE(runTool({"list"}).out.contains("G: -\n"));

    ASSERT_EQ(runTool({"remove", "G:"}).exitCode, 0);
    EXPECT_FALSE(runTool({"list"}).out.contains("G:"));
    table->removeEventReceiver(&receiver);
}

TEST(DriveTool, RefusesBadRequests)
{
    kbtest::TempDir dir;
    EXPECT_EQ(runTool({"insert", "G1", dir.file("x.cue")}).exitCode, 2);
    const ToolRun missing = runTool({"insert", "G:", dir.file("x.cue")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("x.cue"));
    EXPECT_NE(runTool({"eject", "Y:"}).exitCode, 0);
    EXPECT_EQ(runTool({"frobnicate"}).exitCode, 2);
}

// An image of a kind the drive table cannot place would give a drive that never becomes
// ready, so the tool refuses it rather than recording it.
TEST(DriveTool, RefusesAFileThatIsNoDiscImageItKnows)
{
    kbtest::TempDir dir;
    demodisc::DiscLayout layout;
    layout.tracks.push_back({demodisc::testSignal(10, 1)});
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("sheet"), layout)); // a CUE without its extension
    QFile text(dir.file("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a disc");
    text.close();
    runTool({"remove", "H:"});

    for (const QString& image : {dir.file("sheet"), dir.file("notes.txt")}) {
        const ToolRun r = runTool({"insert", "H:", image});
        EXPECT_EQ(r.exitCode, 2) << image.toStdString();
        EXPECT_TRUE(r.err.contains(QFileInfo(image).fileName())) << r.err.toStdString();
    }
    EXPECT_FALSE(runTool({"list"}).out.contains("H:"));

    // A BIN is accepted when its sheet lies beside it.
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("b.cue"), layout));
    EXPECT_EQ(runTool({"insert", "H:", dir.file("b.bin")}).exitCode, 0);
    EXPECT_EQ(runTool({"remove", "H:"}).exitCode, 0);
}

// A path with a line break once split its line of drives.ini: a duplicate section, a
// stray line, the drive pointing elsewhere. Such paths, and drive names that are not a
// letter and a colon, are refused with a message and the list stays as it was.
TEST(DriveTool, RefusesNamesTheDriveListCannotHold)
{
    kbtest::TempDir dir;
    demodisc::DiscLayout layout;
    layout.tracks.push_back({demodisc::testSignal(10, 1)});
    ASSERT_TRUE(QDir().mkpath(dir.file("a\n[Drives]\nD:=/elsewhere.cue\nb")));
    const QString broken = dir.file("a\n[Drives]\nD:=/elsewhere.cue\nb/disc.cue");
    ASSERT_TRUE(demodisc::writeCueBin(broken, layout));
    ASSERT_TRUE(demodisc::writeCueBin(dir.file("good.cue"), layout));
    runTool({"remove", "J:"});
    ASSERT_EQ(runTool({"insert", "J:", dir.file("good.cue")}).exitCode, 0);
    const QString before = runTool({"list"}).out;

    const ToolRun r = runTool({"insert", "J:", broken});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("line break")) << r.err.toStdString();
    for (const QString& name : {QString("J1"), QString("JJ:"), QString(":"), QString("1:"), QString("Ä:"), QString()})
        EXPECT_EQ(runTool({"insert", name, dir.file("good.cue")}).exitCode, 2) << name.toStdString();
    EXPECT_EQ(runTool({"list"}).out, before);
    EXPECT_TRUE(before.contains("J: " + dir.file("good.cue") + "\n"));
    EXPECT_EQ(runTool({"remove", "J:"}).exitCode, 0);
}

TEST(DemoDisc, PrintsUsageInsteadOfWritingFilesNamedLikeOptions)
{
    kbtest::TempDir dir;
    const QString tool = kbtest::binaryDir() + "/bin/kobaltune-demodisc";
    for (const QString& option : {QString("--help"), QString("-h")}) {
        const kbtest::ChildRun r = kbtest::runChild(tool, {option}, {}, {}, dir.path());
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.out.contains("usage:"));
    }
    EXPECT_EQ(kbtest::runChild(tool, {}, {}, {}, dir.path()).exitCode, 2);
    EXPECT_EQ(kbtest::runChild(tool, {"--bogus"}, {}, {}, dir.path()).exitCode, 2);
    EXPECT_EQ(kbtest::runChild(tool, {"a.cue", "b.cue"}, {}, {}, dir.path()).exitCode, 2);
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing written";
}

// Drives recognise images by extension, so a name without ".cue" gets it.
TEST(DemoDisc, AddsTheCueExtensionWhenItIsMissing)
{
    kbtest::TempDir dir;
    const QString tool = kbtest::binaryDir() + "/bin/kobaltune-demodisc";
    const kbtest::ChildRun r = kbtest::runChild(tool, {dir.file("album")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromLocal8Bit(r.out).trimmed(), dir.file("album.cue"));
    EXPECT_TRUE(QFileInfo::exists(dir.file("album.cue")));
    EXPECT_TRUE(QFileInfo::exists(dir.file("album.bin")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("album")));

    EXPECT_EQ(runTool({"insert", "H:", dir.file("album.cue")}).exitCode, 0);
    EXPECT_EQ(runTool({"remove", "H:"}).exitCode, 0);
}
