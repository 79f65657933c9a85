#include "app/Settings.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <random>

#include <sys/stat.h>

namespace {

// The two option sets the save loop alternates between, as LoadOptions reads them back.
QStringList optionSet(const QString& t)
{
    return {t + "1", t + " TIME", t + "ALL", "/music/" + t + "/" + QString(300, QLatin1Char('f')),
            t + "100", t + "200", t + "CD", t + "0", t + ":"};
}

QStringList loaded(const QString& ini)
{
    PlayerState s;
    s.CdDrives = QStringList{"D:"};
    Settings(ini, "/x/").LoadOptions(s);
    return {s.OptTemae, s.OptTimeType, s.OptRepeat, s.OptFolderName, s.OptTop, s.OptLeft, s.OptMedia,
            s.OptAutoRun, s.CurCdDrive};
}

QStringList leftovers(const QString& folder)
{
    return QDir(folder).entryList({"Kobaltune.ini.tmp-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

// The save at power-off killed with SIGKILL at random moments: the settings file is always
// the old one whole or the new one whole, a section another program wrote survives, and
// what a killed save left behind is gone after the next save.
TEST(SettingsKill, KilledSaveLeavesTheOldFileOrTheNewOne)
{
    kbtest::TempDir dir;
    const QString ini = dir.file("Kobaltune.ini");
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[1A2B]\r\nAlbumTitle=kept\r\n");
    }
    // Each kill lands while saves follow each other: after the first replace of the file
    // the loop has started (however slowly this build starts a program), then at a random
    // moment of the saves that follow.
    auto replacedSince = [&](ino_t before) {
        struct stat st {};
        return ::stat(QFile::encodeName(ini).constData(), &st) == 0 && st.st_ino != before;
    };
    auto inodeNow = [&] {
        struct stat st {};
        ::stat(QFile::encodeName(ini).constData(), &st);
        return st.st_ino;
    };
    // A first run gives the file its options: killed once it has replaced the file (reads
    // while it saves could mix two saves).
    {
        kbtest::Child first;
        const ino_t before = inodeNow();
        ASSERT_TRUE(first.start(kbtest::binaryDir() + "/bin/settings-save-loop", {ini}));
        ASSERT_TRUE(kbtest::eventually([&] { return replacedSince(before); }, 30000));
        first.signal(SIGKILL);
        first.wait();
    }

    std::mt19937 rng(1311);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    int seenNew = 0, seenOld = 0, seenLeftover = 0;
    const int trials = 150;
    for (int trial = 0; trial < trials; ++trial) {
        kbtest::Child loop;
        const ino_t before = inodeNow();
        ASSERT_TRUE(loop.start(kbtest::binaryDir() + "/bin/settings-save-loop", {ini}));
        ASSERT_TRUE(kbtest::eventually([&] { return replacedSince(before); }, 30000)) << "the loop never saved";
        QThread::usleep(static_cast<unsigned long>(delayUs(rng)));
        loop.signal(SIGKILL);
        loop.wait();
        const QStringList now = loaded(ini);
        const bool isNew = now == optionSet("new");
        const bool isOld = now == optionSet("old");
        ASSERT_TRUE(isNew || isOld) << "trial " << trial << ": " << now.join(" | ").toStdString();
        seenNew += isNew;
        seenOld += isOld;
        seenLeftover += !leftovers(dir.path()).isEmpty();
        ASSERT_EQ(Settings(ini, "/x/").ReadIni("1a2b", "AlbumTitle"), "kept") << "trial " << trial;
    }
    EXPECT_GT(seenNew, 0);
    EXPECT_GT(seenOld, 0);
    RecordProperty("kills_that_left_a_temporary_file", seenLeftover);

    PlayerState s;
    s.CdDrives = QStringList{"D:"};
    Settings(ini, "/x/").LoadOptions(s);
    Settings(ini, "/x/").SaveOptions(s);
    EXPECT_TRUE(leftovers(dir.path()).isEmpty()) << leftovers(dir.path()).join(" ").toStdString();
}
