#include "app/DataFolder.h"
#include "app/Settings.h"

#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QString userSettings()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Kobaltune/Kobaltune.ini";
}

} // namespace

TEST(InstalledLayout, ABuildTreeOrPortableCopyKeepsManualAndSettingsBesideTheProgram)
{
    kbtest::TempDir dir;
    const QString bin = dir.file("bin/");
    QDir().mkpath(bin);
    touch(bin + "KOBALTUNE.HLP");
    // Even with an installed tree next to it, the manual beside the program wins.
    QDir().mkpath(dir.file("share/kobaltune"));
    touch(dir.file("share/kobaltune/KOBALTUNE.HLP"));
    EXPECT_FALSE(kb::app::IsInstalledLayout(bin));
    EXPECT_EQ(kb::app::DataFolder(bin), bin);
    EXPECT_EQ(Settings::defaultFilePath(bin), bin + "Kobaltune.ini");
}

TEST(InstalledLayout, AnInstalledProgramReadsShareAndKeepsSettingsWithTheUserUnlessAFileIsBesideIt)
{
    kbtest::TempDir dir;
    const QString bin = dir.file("usr/bin/");
    QDir().mkpath(bin);
    QDir().mkpath(dir.file("usr/share/kobaltune"));
    touch(dir.file("usr/share/kobaltune/KOBALTUNE.HLP"));
    EXPECT_TRUE(kb::app::IsInstalledLayout(bin));
    EXPECT_EQ(kb::app::DataFolder(bin), dir.file("usr/share/kobaltune/"));
    // The folder is writable here (as every folder is for root), yet the settings go home.
    EXPECT_EQ(Settings::defaultFilePath(bin), userSettings());
    touch(bin + "Kobaltune.ini");
    EXPECT_EQ(Settings::defaultFilePath(bin), bin + "Kobaltune.ini");
}
