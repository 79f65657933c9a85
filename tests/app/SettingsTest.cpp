#include "app/Settings.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class SettingsTest : public testing::Test {
protected:
    SettingsTest() { state.CdDrives = QStringList{"D:", "E:"}; }

    void writeFile(const QByteArray& bytes)
    {
        QFile f(settings.filePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    kbtest::TempDir dir;
    Settings settings{dir.file("Kobaltune.ini"), "/opt/kobaltune/"};
    PlayerState state;
};

TEST_F(SettingsTest, NoFileGivesDefaults)
{
    state.CurCdDriveIndex = 0;
    settings.LoadOptions(state);
    EXPECT_EQ(state.OptTaskTray, "1");
    EXPECT_EQ(state.OptTemae, "0");
    EXPECT_EQ(state.OptTimeType, "SINGLE TIME");
    EXPECT_EQ(state.OptRepeat, "OFF");
    EXPECT_EQ(state.OptFolderName, "/opt/kobaltune/");
    EXPECT_EQ(state.OptTop, "100");
    EXPECT_EQ(state.OptLeft, "100");
    EXPECT_EQ(state.OptMedia, "CD");
    EXPECT_EQ(state.OptAutoRun, "0");
    EXPECT_EQ(state.CurCdDrive, "D:");
    EXPECT_EQ(state.CurCdDriveIndex, 0);
    EXPECT_FALSE(QFile::exists(settings.filePath()));
}

TEST_F(SettingsTest, BlankValuesTakeDefaultsOthersAreUsedAsRead)
{
    writeFile("[View]\r\nTop=   \r\nLeft=abc\r\n"
              "[Option]\r\nTemae=\r\nRepeat=\"  \"\r\nMedia=CASSETTE\r\nTimeType=TOTAL TIME\r\n");
    settings.LoadOptions(state);
    EXPECT_EQ(state.OptTop, "100");
    EXPECT_EQ(state.OptLeft, "abc");
    EXPECT_EQ(state.OptTemae, "0");
    EXPECT_EQ(state.OptRepeat, "OFF");
    EXPECT_EQ(state.OptMedia, "CASSETTE");
    EXPECT_EQ(state.OptTimeType, "TOTAL TIME");
}

TEST_F(SettingsTest, StoredDriveSelectsItsIndexOnlyOnExactMatch)
{
    writeFile("[Option]\r\nCurCdDrive=E:\r\n");
    settings.LoadOptions(state);
    EXPECT_EQ(state.CurCdDrive, "E:");
    EXPECT_EQ(state.CurCdDriveIndex, 1);

    state.CurCdDriveIndex = 0;
    writeFile("[Option]\r\nCurCdDrive=e:\r\n");
    settings.LoadOptions(state);
    EXPECT_EQ(state.CurCdDrive, "e:");
    EXPECT_EQ(state.CurCdDriveIndex, 0);

    writeFile("[Option]\r\nCurCdDrive=Q:\r\n");
    settings.LoadOptions(state);
    EXPECT_EQ(state.CurCdDrive, "Q:");
    EXPECT_EQ(state.CurCdDriveIndex, 0);
}

TEST_F(SettingsTest, SaveThenLoadRoundTrips)
{
    settings.LoadOptions(state);
    state.OptTemae = "1";
    state.OptTimeType = "TOTAL TIME";
    state.OptRepeat = "ONE";
    state.OptFolderName = "/home/user/音楽/" + QString(200, QLatin1Char('x')) + "/";
    state.OptTop = "1500";
    state.OptLeft = "-300";
    state.OptMedia = "MP3";
    state.OptAutoRun = "1";
    state.CurCdDrive = "E:";
    state.OptTaskTray = "0";
    settings.SaveOptions(state);

    PlayerState loaded;
    loaded.CdDrives = state.CdDrives;
    settings.LoadOptions(loaded);
    EXPECT_EQ(loaded.OptTemae, "1");
    EXPECT_EQ(loaded.OptTimeType, "TOTAL TIME");
    EXPECT_EQ(loaded.OptRepeat, "ONE");
    EXPECT_EQ(loaded.OptFolderName, state.OptFolderName);
    EXPECT_EQ(loaded.OptTop, "1500");
    EXPECT_EQ(loaded.OptLeft, "-300");
    EXPECT_EQ(loaded.OptMedia, "MP3");
    EXPECT_EQ(loaded.OptAutoRun, "1");
    EXPECT_EQ(loaded.CurCdDrive, "E:");
    EXPECT_EQ(loaded.CurCdDriveIndex, 1);
    EXPECT_EQ(loaded.OptTaskTray, "1");

    QFile f(settings.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.startsWith("[Option]\r\nTemae=1\r\nTimeType=TOTAL TIME\r\nRepeat=ONE\r\n"));
    EXPECT_TRUE(text.contains("[View]\r\nTop=1500\r\nLeft=-300\r\n"));
    EXPECT_FALSE(text.contains("TaskTray"));
}

TEST_F(SettingsTest, WriteIniCreatesMissingFolderAndReportsFailure)
{
    Settings nested(dir.file("config/Kobaltune/Kobaltune.ini"), "/x/");
    EXPECT_EQ(nested.WriteIni("Option", "Temae", "1"), 1);
    EXPECT_EQ(nested.ReadIni("option", "TEMAE"), "1");

    ASSERT_TRUE(QDir().mkdir(dir.file("blocked.ini")));
    Settings blocked(dir.file("blocked.ini"), "/x/");
    EXPECT_EQ(blocked.WriteIni("Option", "Temae", "1"), 0);
    EXPECT_EQ(blocked.ReadIni("Option", "Temae"), "");
}

// The save starts from the file as it is at power-off: a title record written by another
// program after start-up stays. A settings "file" that is a FIFO is not read (start-up
// would block) and not replaced; the save says why on stderr.
TEST_F(SettingsTest, SaveMergesIntoTheFileAsItIsNowAndLeavesNonFilesAlone)
{
    writeFile("[Option]\r\nTemae=1\r\n");
    settings.LoadOptions(state);
    Settings other(settings.filePath(), "/x/");
    ASSERT_EQ(other.WriteIni("1A2B", "AlbumTitle", "meanwhile"), 1);
    state.OptRepeat = "ALL";
    settings.SaveOptions(state);
    EXPECT_EQ(settings.ReadIni("1A2B", "AlbumTitle"), "meanwhile");
    EXPECT_EQ(settings.ReadIni("Option", "Repeat"), "ALL");
    EXPECT_EQ(settings.ReadIni("Option", "Temae"), "1");

    const QString fifo = dir.file("fifo/Kobaltune.ini");
    ASSERT_TRUE(QDir().mkpath(dir.file("fifo")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Settings piped(fifo, "/x/");
    PlayerState fresh;
    fresh.CdDrives = QStringList{"D:"};
    piped.LoadOptions(fresh);
    EXPECT_EQ(fresh.OptMedia, "CD");
    testing::internal::CaptureStderr();
    piped.SaveOptions(fresh);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("not saved"), std::string::npos) << said;
    EXPECT_NE(said.find("not a regular file"), std::string::npos) << said;
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    // Inside a transaction, reads already see the gathered values; nothing is written
    // until the commit, and a dropped transaction writes nothing.
    {
        Settings::Transaction t(settings);
        settings.WriteIni("View", "Top", "777");
        EXPECT_EQ(settings.ReadIni("View", "Top"), "777");
        EXPECT_EQ(other.ReadIni("View", "Top"), state.OptTop);
    }
    EXPECT_EQ(settings.ReadIni("View", "Top"), state.OptTop);
}

TEST(SettingsPaths, AddBackslashAndFileLocation)
{
    EXPECT_EQ(AddBackslash("/"), "/");
    EXPECT_EQ(AddBackslash("/opt/kb"), "/opt/kb/");
    EXPECT_EQ(AddBackslash("/opt/kb/"), "/opt/kb/");

    kbtest::TempDir dir;
    const QString folder = AddBackslash(dir.path());
    EXPECT_EQ(Settings::defaultFilePath(folder), folder + "Kobaltune.ini");
    // A folder the program cannot write to sends the file to the user's configuration folder.
    EXPECT_EQ(Settings::defaultFilePath(folder + "missing/"),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/Kobaltune/Kobaltune.ini");

    Settings program;
    EXPECT_EQ(program.programFolder(), AddBackslash(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(program.filePath(), program.programFolder() + "Kobaltune.ini");
}

} // namespace
