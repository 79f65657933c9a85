#include "browser/FileTypes.h"
#include "browser/FolderListing.h"
#include "browser/PathNames.h"
#include "platform/files/FolderReader.h"

#include "tests/support/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

using namespace kb::browser;
using kbtest::TempDir;

namespace {

constexpr int64_t kStamp = 1700000000; // a known modification time

void write(const QString& path, qint64 bytes = 10)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(bytes)); // sparse: a 3 GB file takes no room
    f.close();
    utimbuf times{time_t(kStamp), time_t(kStamp)};
    ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
}

const FileRow* find(const std::vector<FileRow>& rows, const QString& name)
{
    for (const FileRow& r : rows) {
        if (r.name == name)
            return &r;
    }
    return nullptr;
}

QStringList names(const std::vector<FileRow>& rows)
{
    QStringList out;
    for (const FileRow& r : rows)
        out << r.name;
    return out;
}

TEST(PathNames, ExtensionNameAndFolderOfAPath)
{
    EXPECT_EQ(GetExtension("/m/Song.Live.WAV"), ".WAV");
    EXPECT_EQ(GetExtension("/m.d/song"), "");
    EXPECT_EQ(GetExtension(".hidden"), ".hidden");
    EXPECT_EQ(GetNameOfPath("/m/a b\\c.wav"), "a b\\c.wav");
    EXPECT_EQ(GetNameOfPath("song.wav"), "song.wav");

    EXPECT_EQ(GetFolderOfPath("/music/album/01.wav"), "/music/album");
    EXPECT_EQ(GetFolderOfPath("/01.wav"), "") << "the root, which AddBackslash makes \"/\"";
    EXPECT_EQ(GetFolderOfPath("/music/a\\b.wav"), "/music") << "a backslash is part of a name";
    const QString here = QDir::currentPath();
    EXPECT_EQ(GetFolderOfPath("bare.wav"), here == "/" ? QString() : here);
}

TEST(FolderListing, ListsEachPatternInTurnByUpperCasedNameWithExactExtensions)
{
    TempDir dir;
    for (const char* n : {"b.AVI", "A.avi", "c.avi", "clip.mp2v", "clip.mp2", ".hidden.avi", "notes.txt"})
        write(dir.file(n));
    QDir(dir.path()).mkdir("folder.avi");
    FileTypes types;
    const auto rows = readFolderRows(dir.path() + "/", modePatterns("VIDEO"), types);
    EXPECT_EQ(names(rows), (QStringList{".hidden.avi", "A.avi", "b.AVI", "c.avi", "clip.mp2", "clip.mp2v"}));
    EXPECT_EQ(rows[1].path, dir.path() + "/A.avi");

    EXPECT_TRUE(readFolderRows(dir.path() + "/", modePatterns("CD"), types).empty());
    EXPECT_TRUE(readFolderRows(dir.path() + "/missing/", modePatterns("VIDEO"), types).empty());
}

TEST(FolderListing, ColumnsOfOrdinaryAndAwkwardFiles)
{
    TempDir dir;
    write(dir.file("zero.wav"), 0);
    write(dir.file("big.wav"), 3'000'000'000LL);
    write(dir.file("ro.wav"), 1234);
    ::chmod(QFile::encodeName(dir.file("ro.wav")).constData(), 0444);
    write(dir.file(".secret.wav"));
    write(dir.file("it's \"our\" song.wav"));
    write(dir.file(QStringLiteral("夜明け.wav")));
    write(dir.file("SHORT.WAV"));
    ASSERT_EQ(::symlink("nowhere.wav", QFile::encodeName(dir.file("lost.wav")).constData()), 0);

    FileTypes types;
    const auto rows = readFolderRows(dir.path() + "/", modePatterns("WAVE"), types);
    ASSERT_EQ(rows.size(), 8u);

    const FileRow* zero = find(rows, "zero.wav");
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->size, "");
    EXPECT_EQ(zero->modified, QDateTime::fromSecsSinceEpoch(kStamp).toString("yy/MM/dd HH:mm:ss"));
    EXPECT_EQ(zero->attributes, "");
    EXPECT_EQ(zero->dosName, "zero.wav");
    EXPECT_FALSE(zero->type.isEmpty());

    EXPECT_EQ(find(rows, "big.wav")->size, "3,000,000,000") << "sizes past 2 GB are not wrapped";
    EXPECT_EQ(find(rows, "ro.wav")->size, "1,234");
    EXPECT_EQ(find(rows, "ro.wav")->attributes, "R");
    EXPECT_EQ(find(rows, ".secret.wav")->attributes, "H");
    EXPECT_EQ(find(rows, ".secret.wav")->dosName, "") << "not an 8.3 name";
    EXPECT_EQ(find(rows, "it's \"our\" song.wav")->dosName, "");
    EXPECT_EQ(find(rows, QStringLiteral("夜明け.wav"))->path, dir.file(QStringLiteral("夜明け.wav")));
    EXPECT_EQ(find(rows, "SHORT.WAV")->dosName, "SHORT.WAV");

    const FileRow* lost = find(rows, "lost.wav");
    ASSERT_TRUE(lost) << "a file that cannot be read keeps its item";
    EXPECT_EQ(lost->size + lost->type + lost->modified + lost->attributes, "");
    EXPECT_EQ(lost->dosName, "lost.wav");
}

// Dates of one minute share one conversion to local time; across a change of the clocks each
// file still gets its own local time.
TEST(FolderListing, DatesOfFilesWrittenCloseTogetherAcrossAClockChange)
{
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    ::tzset();
    TempDir dir;
    // 2024-03-31 00:59:30 UTC is 01:59:30 in Berlin; a minute later the clocks go forward.
    const int64_t beforeChange = 1711846770;
    const std::pair<const char*, int64_t> files[] = {
        {"a.wav", beforeChange}, {"b.wav", beforeChange + 20}, {"c.wav", beforeChange + 40},
        {"d.wav", beforeChange + 95}, {"e.wav", beforeChange - 3600 * 24 * 200}};
    for (const auto& [name, when] : files) {
        write(dir.file(name));
        utimbuf times{time_t(when), time_t(when)};
        ASSERT_EQ(::utime(QFile::encodeName(dir.file(name)).constData(), &times), 0);
    }
    FileTypes types;
    const auto rows = readFolderRows(dir.path() + "/", modePatterns("WAVE"), types);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(find(rows, "a.wav")->modified, "24/03/31 01:59:30");
    EXPECT_EQ(find(rows, "b.wav")->modified, "24/03/31 01:59:50");
    EXPECT_EQ(find(rows, "c.wav")->modified, "24/03/31 03:00:10");
    EXPECT_EQ(find(rows, "d.wav")->modified, "24/03/31 03:01:05");
    EXPECT_EQ(find(rows, "e.wav")->modified, "23/09/13 02:59:30");
    for (const auto& [name, when] : files)
        EXPECT_EQ(find(rows, name)->modified, listDate(when)) << name;

    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    ::tzset();
}

TEST(FolderListing, PermissionsAndShortNames)
{
    using kb::files::permits;
    kb::files::Credentials user;
    user.uid = 1000;
    user.groups = {100, 24};
    EXPECT_TRUE(permits(0640, 1000, 5, user, 2));
    EXPECT_FALSE(permits(0440, 1000, 5, user, 2));
    EXPECT_TRUE(permits(0640, 0, 24, user, 4)) << "through a supplementary group";
    EXPECT_FALSE(permits(0600, 0, 24, user, 4));
    EXPECT_TRUE(permits(0004, 0, 0, user, 4));
    kb::files::Credentials root;
    EXPECT_TRUE(permits(0000, 1000, 100, root, 4));
    EXPECT_FALSE(permits(0444, 1000, 100, root, 2));

    using kb::files::validShortName;
    EXPECT_EQ(validShortName("track01.wav"), "track01.wav");
    EXPECT_EQ(validShortName("README"), "README");
    EXPECT_EQ(validShortName("longername.wav"), "");
    EXPECT_EQ(validShortName("a.wave"), "");
    EXPECT_EQ(validShortName("a.b.c"), "");
    EXPECT_EQ(validShortName("a b.wav"), "");
    EXPECT_EQ(validShortName("x."), "");
}

TEST(FolderListing, SizesAndDates)
{
    EXPECT_EQ(groupedSize(0, u','), "");
    EXPECT_EQ(groupedSize(999, u','), "999");
    EXPECT_EQ(groupedSize(1000, u'.'), "1.000");
    EXPECT_EQ(groupedSize(5'000'000'000LL, u','), "5,000,000,000");
    EXPECT_EQ(listDate(kStamp), QDateTime::fromSecsSinceEpoch(kStamp).toString("yy/MM/dd HH:mm:ss"));
}

} // namespace
