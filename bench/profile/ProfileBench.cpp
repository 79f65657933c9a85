#include "platform/profile/PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// Every profile read goes back to the file, so a title lookup in a settings file that has
// collected many discs costs a file read and a parse. Compared with reading the same bytes
// alone (the baseline) in the same run.
namespace {

struct ProfileFile {
    QTemporaryDir dir;
    QString path;

    explicit ProfileFile(int discs)
    {
        path = dir.filePath("Kobaltune.ini");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("[Option]\r\nTemae=0\r\nRepeat=OFF\r\n[View]\r\nTop=100\r\nLeft=100\r\n");
        for (int d = 0; d < discs; ++d) {
            f.write(QString("[%1]\r\nAlbum=アルバム %1\r\nArtist=歌手\r\n").arg(d, 8, 16, QChar('0')).toUtf8());
            for (int t = 1; t <= 12; ++t)
                f.write(QString("Track%1=曲 %1\r\n").arg(t).toUtf8());
        }
    }
};

void BM_ReadBytesBaseline(benchmark::State& state)
{
    ProfileFile file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QFile f(file.path);
        f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
}

void BM_GetStringLastSection(benchmark::State& state)
{
    const int discs = static_cast<int>(state.range(0));
    ProfileFile file(discs);
    const QString section = QString("%1").arg(discs - 1, 8, 16, QChar('0'));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            kb::profile::PrivateProfile::getString(section, "Track12", "", file.path));
}

void BM_WriteStringExisting(benchmark::State& state)
{
    ProfileFile file(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state)
        kb::profile::PrivateProfile::writeString("View", "Top", QString::number(i++), file.path);
}

// Power-off writes nine options: nine single-key writes (each a read, a parse and an
// atomic replace of the file) against one batch committed in one replace.
const char* const kOptionKeys[] = {"Temae", "TimeType", "Repeat", "FolderName", "Top", "Left", "Media",
                                   "AutoRun", "CurCdDrive"};

void BM_NineWritesOneByOne(benchmark::State& state)
{
    ProfileFile file(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        for (const char* key : kOptionKeys)
            kb::profile::PrivateProfile::writeString("Option", key, QString::number(i++), file.path);
    }
}

void BM_NineWritesInOneBatch(benchmark::State& state)
{
    ProfileFile file(static_cast<int>(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        kb::profile::ProfileBatch batch;
        for (const char* key : kOptionKeys)
            batch.writeString("Option", key, QString::number(i++));
        kb::profile::PrivateProfile::commit(batch, file.path);
    }
}

} // namespace

BENCHMARK(BM_NineWritesOneByOne)->Arg(10)->Arg(500);
BENCHMARK(BM_NineWritesInOneBatch)->Arg(10)->Arg(500);
BENCHMARK(BM_ReadBytesBaseline)->Arg(10)->Arg(500);
BENCHMARK(BM_GetStringLastSection)->Arg(10)->Arg(500);
BENCHMARK(BM_WriteStringExisting)->Arg(10)->Arg(500);
BENCHMARK_MAIN();
