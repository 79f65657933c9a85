#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <gtest/gtest.h>

namespace {

// Runs the real program from a private folder (so its settings file would land there) with
// private runtime and configuration folders, headless, messages echoed to stderr.
class StartupProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        const QString built = kbtest::binaryDir() + "/bin/kobaltune";
        ASSERT_TRUE(QFile::exists(built)) << built.toStdString();
        ASSERT_TRUE(QDir().mkpath(programDir()));
        ASSERT_TRUE(QFile::copy(built, program()));
        ASSERT_TRUE(QDir().mkpath(runtimeDir()));
        ASSERT_TRUE(QDir().mkpath(configDir()));
    }

    QString programDir() const { return home.file("bin"); }
    QString program() const { return home.file("bin/kobaltune"); }
    QString runtimeDir() const { return home.file("runtime"); }
    QString configDir() const { return home.file("config"); }

    struct Result {
        bool finished = false;
        int exitCode = -1;
        QString stderrText;
    };

    Result run()
    {
        const kbtest::ChildRun child = kbtest::runChild(program(), {}, {},
                                                        {{"QT_QPA_PLATFORM", "offscreen"},
                                                         {"KOBALTUNE_ECHO_MESSAGES", "1"},
                                                         {"KOBALTUNE_AUDIO", "null"},
                                                         {"XDG_RUNTIME_DIR", runtimeDir().toStdString()},
                                                         {"XDG_CONFIG_HOME", configDir().toStdString()}},
                                                        {}, 30000);
        Result r;
        r.finished = child.exitCode != -1;
        r.exitCode = child.exitCode;
        r.stderrText = QString::fromLocal8Bit(child.err);
        return r;
    }

    bool anySettingsFile() const
    {
        return QFile::exists(programDir() + "/Kobaltune.ini") ||
               QFile::exists(configDir() + "/Kobaltune/Kobaltune.ini");
    }

    kbtest::TempDir home;
};

TEST_F(StartupProcessTest, MachineWithoutCdDriveGetsMessageAndNoSettings)
{
    const Result r = run();
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.stderrText.contains("Kobaltune: 有効なCDドライブが検出できませんでした"))
        << r.stderrText.toStdString();
    EXPECT_FALSE(anySettingsFile());
}

TEST_F(StartupProcessTest, SecondCopyEndsAtOnceSilently)
{
    QLockFile running(runtimeDir() + "/kobaltune.lock");
    ASSERT_TRUE(running.tryLock(0));
    const Result r = run();
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.stderrText.contains("Kobaltune:")) << r.stderrText.toStdString();
    EXPECT_FALSE(anySettingsFile());
    // The running copy's lock is untouched.
    EXPECT_TRUE(running.isLocked());
    EXPECT_TRUE(QFile::exists(runtimeDir() + "/kobaltune.lock"));
}

} // namespace
