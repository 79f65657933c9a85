#include "tests/platform/avivideo/TestVideo.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

// Closing a video device closes its window; the shell still answers every later line
// (it once ended its event loop with the last window and dropped the rest silently).
TEST(McishVideo, EveryLineIsAnsweredAfterTheVideoWindowCloses)
{
    kbtest::TempDir dir;
    const std::string clip = dir.fileUtf8("clip.avi");
    ASSERT_TRUE(kbtest::writeTestVideo(clip, {"avi", 1, 25, 160, 120, true, false}));
    const QByteArray script = "open \"" + QByteArray::fromStdString(clip) + "\" alias v\n"
                              "seek v to 5\nsleep 300\nwindow v state hide\nsleep 100\nclose v\nsleep 100\n"
                              "status v mode\n"
                              "open \"" + QByteArray::fromStdString(clip) + "\" alias w\n"
                              "seek w to 3\nsleep 300\nclose all\nsleep 100\nstatus w mode\nstatus x mode\n";
    const kbtest::ChildRun run = kbtest::runChild(kbtest::binaryDir() + "/bin/mcish", {}, script,
                                                  {{"KOBALTUNE_AUDIO", "null"}, {"QT_QPA_PLATFORM", "offscreen"}});
    EXPECT_EQ(run.exitCode, 0);
    const QList<QByteArray> lines = run.out.split('\n');
    ASSERT_GE(lines.size(), 10) << run.out.toStdString();
    EXPECT_EQ(lines[0], "0 1");
    EXPECT_EQ(lines[3], "0"); // close v
    EXPECT_TRUE(lines[4].startsWith("263")) << lines[4].toStdString();
    EXPECT_TRUE(lines[5].startsWith("0 ")) << lines[5].toStdString();
    EXPECT_EQ(lines[7], "0"); // close all
    EXPECT_TRUE(lines[8].startsWith("263")) << lines[8].toStdString();
    EXPECT_TRUE(lines[9].startsWith("263")) << lines[9].toStdString();
}
