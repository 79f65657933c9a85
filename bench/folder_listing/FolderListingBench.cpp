// Listing a folder of 10,000 WAVE files (warm cache) next to the floor any listing pays: a
// bare readdir + fstatat loop over the same folder. "ratio" is each benchmark's time over
// that floor, both measured in this run. FolderRows is the data part (names, sizes, dates,
// attributes, type names); ListFolder adds the list widget, its icons and the column sizing.
#include "app/AppContext.h"
#include "browser/FileList.h"
#include "browser/FileTypes.h"
#include "browser/FolderListing.h"
#include "mci/modMci.h"
#include "platform/engine/Platform.h"
#include "ui/LedLabel.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <benchmark/benchmark.h>

#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 10000;

struct Folder {
    QTemporaryDir dir;
    QString path;
    Folder()
    {
        path = dir.path() + "/";
        for (int i = 0; i < kFiles; ++i) {
            QFile f(path + QStringLiteral("Track %1.wav").arg(kFiles - i, 5, 10, QLatin1Char('0')));
            f.open(QIODevice::WriteOnly);
            f.write("RIFF", 4);
        }
    }
};

Folder& folder()
{
    static Folder f;
    return f;
}

// The floor: every name read and every file looked at once.
int64_t bareListing(const QString& path)
{
    int64_t bytes = 0;
    DIR* dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return 0;
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        struct stat st {};
        if (::fstatat(fd, e->d_name, &st, 0) == 0)
            bytes += st.st_size;
    }
    ::closedir(dir);
    return bytes;
}

double floorSeconds(const QString& path)
{
    bareListing(path);
    const int rounds = 10;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        benchmark::DoNotOptimize(bareListing(path));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;
}

template <class Work>
void measureAgainstFloor(benchmark::State& state, Work&& work)
{
    const QString path = folder().path;
    const double floor = floorSeconds(path);
    work(); // warm: the cache holds the folder, the type is looked up once
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        work();
    const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
                        / double(state.iterations());
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio"] = floor > 0 ? each / floor : 0;
}

void ReaddirFstatat(benchmark::State& state)
{
    const QString path = folder().path;
    for (auto _ : state)
        benchmark::DoNotOptimize(bareListing(path));
}
BENCHMARK(ReaddirFstatat)->Unit(benchmark::kMillisecond);

void FolderRows(benchmark::State& state)
{
    const QStringList patterns = kb::browser::modePatterns("WAVE");
    // The player keeps its type facts for the window's life, as this does across listings.
    FileTypes types;
    measureAgainstFloor(state, [&] {
        benchmark::DoNotOptimize(kb::browser::readFolderRows(folder().path, patterns, types));
    });
}
BENCHMARK(FolderRows)->Unit(benchmark::kMillisecond);

struct Window {
    PlayerState state;
    std::unique_ptr<kb::platform::Platform> platform;
    std::unique_ptr<ModMci> mci;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<frmMedia> form;
    QTemporaryDir dir;

    Window()
    {
        kb::audio::SinkChoice sink;
        sink.kind = kb::audio::SinkChoice::Kind::Null;
        platform = kb::platform::makePlatform(sink);
        mci = std::make_unique<ModMci>(state, *platform->mci);
        settings = std::make_unique<Settings>(dir.filePath("Kobaltune.ini"), dir.path() + "/");
        ctx = std::make_unique<AppContext>(AppContext{state, *mci, *settings, *platform});
        form = std::make_unique<frmMedia>(*ctx);
        form->Label1[1]->setCaption("WAVE");
        state.CurDeviceType = "waveaudio";
        form->show();
    }
};

void ListFolder(benchmark::State& state)
{
    Window w;
    measureAgainstFloor(state, [&] { w.form->fileList->ListFolder(folder().path); });
    state.counters["items"] = w.form->lvwFileList->topLevelItemCount();
}
BENCHMARK(ListFolder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
