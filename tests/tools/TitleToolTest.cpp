#include "app/Settings.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"
#include "tools/kobaltune-titles/TitleCommands.h"

#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string sjis(const QString& text)
{
    QStringEncoder encoder("Shift_JIS");
    const QByteArray bytes = encoder.encode(text);
    return bytes.toStdString();
}

// A three-track image in virtual drive D: whose CUE sheet is written in Shift_JIS.
struct ToolFixture {
    ToolFixture() : settings(dir.file("Kobaltune.ini"), dir.path() + "/")
    {
        kb::demodisc::DiscLayout layout;
        layout.title = sjis(QStringLiteral("夜明けの駅"));
        layout.performer = sjis(QStringLiteral("ｺﾊﾞﾙﾄ四重奏"));
        for (int t = 0; t < 3; ++t) {
            kb::demodisc::ImageTrack track;
            track.pcm = kb::demodisc::testSignal(75 * (t + 2), t + 1);
            track.title = sjis(QStringLiteral("第%1楽章").arg(t + 1));
            layout.tracks.push_back(track);
        }
        EXPECT_TRUE(kb::demodisc::writeCueBin(dir.file("disc.cue"), layout));
        drive.name = "D:";
        drive.isVirtual = true;
        drive.source = dir.fileUtf8("disc.cue");
    }

    int run(const std::vector<std::string>& args)
    {
        out.str({});
        err.str({});
        TitleToolContext tool{settings, [this] { return std::vector<kb::cdrom::DriveEntry>{drive}; }, out, err};
        return runTitleCommand(args, tool);
    }

    QString ini() const
    {
        QFile f(settings.filePath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QString key()
    {
        EXPECT_EQ(run({"show", "d:"}), 0) << err.str();
        const std::string text = out.str();
        return QString::fromStdString(text.substr(5, text.find('\n') - 5));
    }

    kbtest::TempDir dir;
    Settings settings;
    kb::cdrom::DriveEntry drive;
    std::ostringstream out, err;
};

TEST(TitleTool, ImportFillsAnEmptyRecordFromAShiftJisCueSheet)
{
    ToolFixture f;
    const QString key = f.key();
    ASSERT_FALSE(key.isEmpty());
    ASSERT_EQ(f.run({"import", "D:"}), 0) << f.err.str();
    EXPECT_EQ(f.settings.ReadIni(key, "AlbumTitle"), QStringLiteral("夜明けの駅"));
    EXPECT_EQ(f.settings.ReadIni(key, "NameOfArtist"), QStringLiteral("ｺﾊﾞﾙﾄ四重奏"));
    EXPECT_EQ(f.settings.ReadIni(key, "TitleOfTrack3"), QStringLiteral("第3楽章"));
    EXPECT_EQ(f.settings.ReadIni(key, "FontName"), QStringLiteral("Times New Roman"));

    ASSERT_EQ(f.run({"show", "D:"}), 0);
    EXPECT_NE(f.out.str().find(QStringLiteral("02: 第2楽章").toStdString()), std::string::npos)
        << f.out.str();
}

TEST(TitleTool, ARecordWithTitlesIsKeptUnlessForced)
{
    ToolFixture f;
    const QString key = f.key();
    f.settings.WriteIni(key, "AlbumTitle", "Mine");
    f.settings.WriteIni(key, "FontExt", "1000");
    const QString before = f.ini();
    EXPECT_EQ(f.run({"import", "D:"}), kExitKept);
    EXPECT_EQ(f.ini(), before);
    EXPECT_NE(f.err.str().find("--force"), std::string::npos);

    ASSERT_EQ(f.run({"import", "D:", "--force"}), 0) << f.err.str();
    EXPECT_EQ(f.settings.ReadIni(key, "AlbumTitle"), QStringLiteral("夜明けの駅"));
    EXPECT_EQ(f.settings.ReadIni(key, "FontExt"), "1000") << "the chosen font was lost";

    // A record that holds only a font has no titles: it is filled.
    ToolFixture g;
    g.settings.WriteIni(key, "FontSize", "12");
    EXPECT_EQ(g.run({"import", "D:"}), 0) << g.err.str();
}

TEST(TitleTool, ExportAndImportFileMoveRecordsBetweenSettingsFiles)
{
    ToolFixture f;
    ASSERT_EQ(f.run({"import", "D:"}), 0);
    f.settings.WriteIni("Option", "Temae", "1");
    ASSERT_EQ(f.run({"export"}), 0);
    const std::string exported = f.out.str();
    EXPECT_EQ(exported.find("[Option]"), std::string::npos);
    EXPECT_EQ(f.run({"export", "ABCDEF"}), 1);

    kbtest::TempDir other;
    QFile file(other.file("titles.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(exported));
    // Hostile additions: another program's section and a key no record has.
    file.write("\n[Option]\nTemae=1\n[ABC]\nAlbumTitle=Other\nPath=/etc/passwd\n");
    file.close();

    Settings target(other.file("Kobaltune.ini"), other.path() + "/");
    std::ostringstream out, err;
    TitleToolContext tool{target, {}, out, err};
    ASSERT_EQ(runTitleCommand({"import-file", other.fileUtf8("titles.txt")}, tool), 0) << err.str();
    const QString key = f.key();
    EXPECT_EQ(target.ReadIni(key, "TitleOfTrack2"), QStringLiteral("第2楽章"));
    EXPECT_EQ(target.ReadIni("ABC", "AlbumTitle"), "Other");
    EXPECT_EQ(target.ReadIni("ABC", "Path"), "");
    EXPECT_EQ(target.ReadIni("Option", "Temae"), "");

    // Importing again keeps what is there.
    target.WriteIni("ABC", "AlbumTitle", "Changed");
    EXPECT_EQ(runTitleCommand({"import-file", other.fileUtf8("titles.txt")}, tool), kExitKept);
    EXPECT_EQ(target.ReadIni("ABC", "AlbumTitle"), "Changed");
}

TEST(TitleTool, WrongUseAndMissingDiscsAreReported)
{
    ToolFixture f;
    EXPECT_EQ(f.run({}), 2);
    EXPECT_EQ(f.run({"show"}), 2);
    EXPECT_EQ(f.run({"show", "nodrive"}), 1);
    EXPECT_EQ(f.run({"show", "E:"}), 1);
    f.drive.source.clear();
    EXPECT_EQ(f.run({"import", "D:"}), 1);
    EXPECT_NE(f.err.str().find("no disc"), std::string::npos);
    EXPECT_TRUE(f.ini().isEmpty());
}

} // namespace
