#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct McishRun {
    int exitCode = -1;
    std::vector<std::string> lines;
};

McishRun runMcish(const QStringList& arguments, const QByteArray& input = {})
{
    const kbtest::ChildRun child =
        kbtest::runChild(kbtest::binaryDir() + "/bin/mcish", arguments, input, {{"KOBALTUNE_AUDIO", "null"}});
    McishRun run;
    run.exitCode = child.exitCode;
    for (const QString& line : QString::fromUtf8(child.out).split('\n', Qt::SkipEmptyParts))
        run.lines.push_back(line.toStdString());
    return run;
}

} // namespace

TEST(Mcish, ArgumentsAreCommandsWithOneResultLineEach)
{
    const McishRun run = runMcish({"--audio=null", "status 2 mode", "", "jump 2", "open \"a b.xyz\" alias 2"});
    EXPECT_EQ(run.exitCode, 0);
    const std::vector<std::string> expected = {
        "263 The specified device is not open or is not recognized by MCI.",
        "267 No command was specified.",
        "261 The driver cannot recognize the specified command.",
        "281 Cannot determine the device type from the given filename extension.",
    };
    EXPECT_EQ(run.lines, expected);
}

TEST(Mcish, ScriptLinesSkipCommentsAndSleep)
{
    const McishRun run = runMcish({}, "# a comment\n\n  \nsleep 5\nset 2 door open door closed\r\nsleep x\nplay 2 from 0x1\n");
    EXPECT_EQ(run.exitCode, 0);
    const std::vector<std::string> expected = {
        "284 The specified parameters cannot be used together.",
        "270 The specified integer is invalid for this command.",
    };
    EXPECT_EQ(run.lines, expected);
    EXPECT_EQ(runMcish({"--audio=bogus"}).exitCode, 2);
}

TEST(Mcish, OpensTheRealWaveDeviceAndReportsItsNotification)
{
    const McishRun probe = runMcish({"open waveaudio alias 2 notify", "sleep 200", "close 2"});
    if (!probe.lines.empty() && probe.lines[0].rfind("263", 0) == 0)
        GTEST_SKIP() << "waveaudio is not registered in this build";
    const std::vector<std::string> expected = {"0 1", "notify 2 1", "0"};
    EXPECT_EQ(probe.lines, expected);
}
