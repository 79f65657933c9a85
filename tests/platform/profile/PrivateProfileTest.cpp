#include "platform/profile/PrivateProfile.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using kb::profile::PrivateProfile;
using kb::profile::ProfileBatch;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class PrivateProfileTest : public testing::Test {
protected:
    kbtest::TempDir dir;
    QString ini = dir.file("test.ini");

    QString get(const QString& s, const QString& k, const QString& def = {})
    {
        return PrivateProfile::getString(s, k, def, ini);
    }
    bool put(const QString& s, const QString& k, const QString& v)
    {
        return PrivateProfile::writeString(s, k, v, ini);
    }
};

TEST_F(PrivateProfileTest, NewFileIsCreatedWithCrlfLinesAndReadsBack)
{
    EXPECT_EQ(get("Option", "Temae", "dflt  "), "dflt");
    EXPECT_FALSE(QFile::exists(ini));

    ASSERT_TRUE(put("Option", "Temae", "1"));
    ASSERT_TRUE(put("Option", "Repeat", "ALL"));
    ASSERT_TRUE(put("View", "Top", "100"));
    ASSERT_TRUE(put("Option", "Empty", ""));
    EXPECT_EQ(readBytes(ini),
              "[Option]\r\nTemae=1\r\nRepeat=ALL\r\nEmpty=\r\n[View]\r\nTop=100\r\n");
    EXPECT_EQ(get("Option", "Repeat"), "ALL");
    EXPECT_EQ(get("Option", "Empty", "x"), "");
    EXPECT_EQ(get("Option", "Missing", "a b "), "a b");

    ASSERT_TRUE(put("Option", "Temae", "0"));
    EXPECT_EQ(readBytes(ini),
              "[Option]\r\nTemae=0\r\nRepeat=ALL\r\nEmpty=\r\n[View]\r\nTop=100\r\n");
}

TEST_F(PrivateProfileTest, NamesMatchRegardlessOfCase)
{
    writeBytes(ini, "[OPTION]\r\nTeMaE=1\r\n");
    EXPECT_EQ(get("option", "temae"), "1");
    ASSERT_TRUE(put("Option", "TEMAE", "0"));
    EXPECT_EQ(readBytes(ini), "[OPTION]\r\nTeMaE=0\r\n");
}

TEST_F(PrivateProfileTest, UntouchedLinesKeptByteForByte)
{
    const QByteArray before = "; head comment\n"
                              "loose text\n"
                              "\n"
                              "[ Option ]\n"
                              "  Temae =  1   \n"
                              "; a comment = not a key\n"
                              "Repeat=OFF\n"
                              "\n"
                              "[View]\n"
                              "Top=5\n";
    writeBytes(ini, before);
    EXPECT_EQ(get("Option", "Temae"), "1");
    EXPECT_EQ(get("Option", "; a comment"), "");

    ASSERT_TRUE(put("Option", "Repeat", "ONE"));
    ASSERT_TRUE(put("Option", "Media", "CD"));
    QByteArray expected = before;
    expected.replace("Repeat=OFF\n", "Repeat=ONE\nMedia=CD\n");
    EXPECT_EQ(readBytes(ini), expected);

    ASSERT_TRUE(put("New", "k", "v"));
    EXPECT_EQ(readBytes(ini), expected + "[New]\nk=v\n");
}

TEST_F(PrivateProfileTest, LineEndsFollowTheFile)
{
    writeBytes(ini, "[A]\rx=1\r");
    ASSERT_TRUE(put("A", "y", "2"));
    EXPECT_EQ(readBytes(ini), "[A]\rx=1\ry=2\r");

    // Mixed line ends: new lines use CRLF, old ones stay.
    writeBytes(ini, "[A]\nx=1\r\n");
    ASSERT_TRUE(put("B", "z", "3"));
    EXPECT_EQ(readBytes(ini), "[A]\nx=1\r\n[B]\r\nz=3\r\n");

    // A last line without a line end gets one before anything is added.
    writeBytes(ini, "[A]\nx=1");
    ASSERT_TRUE(put("A", "y", "2"));
    EXPECT_EQ(readBytes(ini), "[A]\nx=1\ny=2\n");
    writeBytes(ini, "[A]\r\nx=1");
    ASSERT_TRUE(put("B", "y", "2"));
    EXPECT_EQ(readBytes(ini), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST_F(PrivateProfileTest, QuotesBlanksAndOddLines)
{
    writeBytes(ini, "[S]\r\n"
                    "q=\"  quoted  \"\r\n"
                    "half=\"open\r\n"
                    "=nameless\r\n"
                    "noequals\r\n"
                    "[]\r\n"
                    "e=empty-section\r\n");
    EXPECT_EQ(get("S", "q"), "  quoted  ");
    EXPECT_EQ(get("S", "half"), "\"open");
    EXPECT_EQ(get("S", ""), "nameless");
    EXPECT_EQ(get("S", "noequals", "d"), "d");
    EXPECT_EQ(get("", "e"), "empty-section");
}

TEST_F(PrivateProfileTest, FirstDuplicateWins)
{
    writeBytes(ini, "[S]\nk=first\nk=second\n[s]\nk=third\nj=other\n");
    EXPECT_EQ(get("S", "k"), "first");
    EXPECT_EQ(get("S", "j", "none"), "none");
    ASSERT_TRUE(put("S", "K", "new"));
    EXPECT_EQ(readBytes(ini), "[S]\nk=new\nk=second\n[s]\nk=third\nj=other\n");
}

TEST_F(PrivateProfileTest, ReadsSeeTheFileAsItIsNow)
{
    ASSERT_TRUE(put("S", "k", "1"));
    EXPECT_EQ(get("S", "k"), "1");
    writeBytes(ini, "[S]\r\nk=2\r\n");
    EXPECT_EQ(get("S", "k"), "2");
}

TEST_F(PrivateProfileTest, LongJapaneseValueRoundTripsWhole)
{
    QString title;
    for (int i = 0; i < 60; ++i)
        title += QStringLiteral("東京ｱﾙﾊﾞﾑ");
    ASSERT_GT(title.toUtf8().size(), 127);
    ASSERT_TRUE(put("CD-12345", "Title", title));
    ASSERT_TRUE(put("cd-12345", "Artist", "歌手"));
    EXPECT_EQ(get("CD-12345", "title"), title);
    EXPECT_EQ(get("CD-12345", "Artist"), "歌手");
}

TEST_F(PrivateProfileTest, LineBreaksInValueCannotAddLines)
{
    ASSERT_TRUE(put("S", "k", "one\r\n[Evil]\nx=1"));
    ASSERT_TRUE(put("S", "after", "ok"));
    EXPECT_EQ(get("S", "k"), "one  [Evil] x=1");
    EXPECT_EQ(get("Evil", "x", "absent"), "absent");
    EXPECT_EQ(readBytes(ini).count('\n'), 3);

    // Names that cannot be held on one line are refused and change nothing.
    const QByteArray before = readBytes(ini);
    EXPECT_FALSE(put("S", "a=b", "v"));
    EXPECT_FALSE(put("S\n", "k", "v"));
    EXPECT_FALSE(put("S]", "k", "v"));
    EXPECT_EQ(readBytes(ini), before);
}

TEST_F(PrivateProfileTest, DeleteKeyAndSection)
{
    writeBytes(ini, "; c\r\n[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(PrivateProfile::deleteKey("a", "X", ini));
    EXPECT_EQ(readBytes(ini), "; c\r\n[A]\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(PrivateProfile::deleteKey("A", "y", ini));
    EXPECT_EQ(readBytes(ini), "; c\r\n[A]\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(PrivateProfile::deleteSection("b", ini));
    EXPECT_EQ(readBytes(ini), "; c\r\n[A]\r\n[C]\r\nw=4\r\n");
    EXPECT_TRUE(PrivateProfile::deleteSection("missing", ini));
    EXPECT_EQ(readBytes(ini), "; c\r\n[A]\r\n[C]\r\nw=4\r\n");

    const QString none = dir.file("none.ini");
    EXPECT_TRUE(PrivateProfile::deleteKey("A", "x", none));
    EXPECT_FALSE(QFile::exists(none));
}

TEST_F(PrivateProfileTest, ByteOrderMarkAndTrailingNulPaddingAreKept)
{
    writeBytes(ini, QByteArray("\xEF\xBB\xBF[S]\r\nk=v\r\n") + QByteArray(3, '\0'));
    EXPECT_EQ(get("S", "k"), "v");
    ASSERT_TRUE(put("S", "k", "w"));
    ASSERT_TRUE(put("T", "n", "1"));
    EXPECT_EQ(readBytes(ini), QByteArray("\xEF\xBB\xBF[S]\r\nk=w\r\n[T]\r\nn=1\r\n") + QByteArray(3, '\0'));
}

TEST_F(PrivateProfileTest, UnwritableTargetFailsAndKeepsOldContent)
{
    // Root ignores permission bits, so the unwritable targets here are structural: a path
    // that is a folder, and a file inside a "folder" that is really a file.
    const QString folder = dir.file("folder.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(PrivateProfile::writeString("S", "k", "v", folder));
    EXPECT_EQ(PrivateProfile::getString("S", "k", "d", folder), "d");

    writeBytes(ini, "[S]\r\nk=old\r\n");
    EXPECT_FALSE(PrivateProfile::writeString("S", "k", "v", ini + "/inner.ini"));
    EXPECT_EQ(readBytes(ini), "[S]\r\nk=old\r\n");

    ASSERT_TRUE(put("S", "k", "new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"test.ini"});
}

TEST_F(PrivateProfileTest, WriteReplacesFileAtomically)
{
    // A reader that opened the old file keeps seeing the old bytes: the new content goes to a
    // new file that takes the old one's name.
    writeBytes(ini, "[S]\r\nk=old\r\n");
    QFile before(ini);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    ASSERT_TRUE(put("S", "k", "new"));
    EXPECT_EQ(before.readAll(), "[S]\r\nk=old\r\n");
    EXPECT_EQ(readBytes(ini), "[S]\r\nk=new\r\n");
}

QByteArray utf16(const QString& text, QStringConverter::Encoding e)
{
    QStringEncoder encode(e, QStringConverter::Flag::WriteBom);
    return encode(text);
}

// A file in UTF-16 with its byte order mark is read, and written back in UTF-16, every
// code unit not edited (even a lone surrogate) and the NUL padding after it unchanged.
TEST_F(PrivateProfileTest, Utf16FilesStayUtf16)
{
    for (auto e : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        SCOPED_TRACE(e == QStringConverter::Utf16LE ? "LE" : "BE");
        QString text = QStringLiteral("[Option]\r\nMedia=CD\r\nOdd=a");
        text += QChar(0xD800); // a lone high surrogate in a line nobody edits
        text += QStringLiteral("b\r\n[1A2B]\r\nAlbumTitle=夜の街 🎵\r\n");
        const QByteArray padding("\0\0\0\0", 4);
        writeBytes(ini, utf16(text, e) + padding);
        EXPECT_EQ(get("Option", "Media"), "CD");
        EXPECT_EQ(get("1a2b", "AlbumTitle"), "夜の街 🎵");
        ASSERT_TRUE(put("Option", "Media", "ＭＩＤＩ"));
        ASSERT_TRUE(put("View", "Top", "120"));
        QString expected = text;
        expected.replace("Media=CD", "Media=ＭＩＤＩ");
        expected += QStringLiteral("[View]\r\nTop=120\r\n");
        EXPECT_EQ(readBytes(ini), utf16(expected, e) + padding);
        EXPECT_EQ(get("View", "Top"), "120");
    }
}

// Only a regular file is read or written: a FIFO would block a read forever, a device
// never ends, a folder is no file. They read as a missing file and stay untouched.
TEST_F(PrivateProfileTest, FifoDeviceAndFolderAreNeitherReadNorWritten)
{
    const QString fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = dir.file("device.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", device));
    const QString folder = dir.file("folder.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    for (const QString& path : {fifo, device, folder}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(PrivateProfile::getString("S", "k", "dflt", path), "dflt");
        EXPECT_FALSE(PrivateProfile::writeString("S", "k", "v", path));
        ProfileBatch batch;
        batch.writeString("S", "k", "v");
        QString why;
        EXPECT_FALSE(PrivateProfile::commit(batch, path, &why));
        EXPECT_EQ(why, "is not a regular file");
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(QFileInfo(device).isSymLink());
}

// A batch is applied to the file as it is at commit time: what another program wrote
// meanwhile stays. Reads through the batch see its values before the commit.
TEST_F(PrivateProfileTest, BatchWritesOnceOverTheFileAsItIsNow)
{
    writeBytes(ini, "; mine\r\n[Option]\r\nTemae=0\r\n");
    ProfileBatch batch;
    EXPECT_TRUE(batch.writeString("Option", "Temae", "1"));
    EXPECT_TRUE(batch.writeString("View", "Top", "300"));
    EXPECT_FALSE(batch.writeString("Bad]", "k", "v"));
    EXPECT_FALSE(batch.writeString("S", "a=b", "v"));
    batch.deleteKey("Option", "Gone");
    EXPECT_EQ(PrivateProfile::getString("View", "Top", "", ini, &batch), "300");
    EXPECT_EQ(get("View", "Top", "none"), "none");

    ASSERT_TRUE(put("1A2B", "AlbumTitle", "written meanwhile"));
    ASSERT_TRUE(PrivateProfile::commit(batch, ini));
    EXPECT_EQ(readBytes(ini), "; mine\r\n[Option]\r\nTemae=1\r\n[1A2B]\r\nAlbumTitle=written meanwhile\r\n"
                              "[View]\r\nTop=300\r\n");
}

// A writer killed midway leaves its temporary file; the next write removes it, but never
// the file of a writer that is still running.
TEST_F(PrivateProfileTest, LeftoversOfKilledWritersAreRemovedByTheNextWrite)
{
    pid_t gone = 0;
    char* argv[] = {const_cast<char*>("/bin/true"), nullptr};
    ASSERT_EQ(posix_spawn(&gone, argv[0], nullptr, nullptr, argv, environ), 0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    const QString dead = ini + ".tmp-" + QString::number(gone) + "-x1";
    const QString alive = ini + ".tmp-" + QString::number(::getppid()) + "-x2";
    writeBytes(dead, "[S]\r\nk=half");
    writeBytes(alive, "[S]\r\nk=in progress");
    ASSERT_TRUE(put("S", "k", "v"));
    EXPECT_FALSE(QFile::exists(dead));
    EXPECT_TRUE(QFile::exists(alive));
    EXPECT_EQ(readBytes(ini), "[S]\r\nk=v\r\n");
}

} // namespace
