// The cost of one timCD tick of the CD poller with the real engine (a CD image in a virtual
// drive playing through the null sink), next to one bare "status 2 position" query. The
// tick's counter "ratio" is its time over the bare query's, both measured in this run.
#include "app/AppContext.h"
#include "mci/modMci.h"
#include "platform/audio/AudioEngine.h"
#include "platform/cdrom/VirtualDriveFile.h"
#include "platform/engine/Platform.h"
#include "playback/StatusPoller.h"
#include "playback/Transport.h"
#include "tools/demodisc/DiscImageWriter.h"
#include "ui/frmMedia.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

struct Player {
    QTemporaryDir dir;
    std::unique_ptr<kb::platform::Platform> platform;
    PlayerState state;
    std::unique_ptr<ModMci> mci;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<frmMedia> form;

    Player()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        kb::demodisc::DiscLayout layout;
        for (int t = 0; t < 3; ++t)
            layout.tracks.push_back({kb::demodisc::testSignal(120 * 75, t + 1)});
        const QString cue = dir.filePath("disc.cue");
        kb::demodisc::writeCueBin(cue, layout);
        kb::cdrom::VirtualDriveFile().write({{"D:", cue.toStdString(), false, {}}});

        kb::audio::SinkChoice sink;
        sink.kind = kb::audio::SinkChoice::Kind::Null;
        platform = kb::platform::makePlatform(sink);
        mci = std::make_unique<ModMci>(state, *platform->mci);
        settings = std::make_unique<Settings>(dir.filePath("Kobaltune.ini"), dir.path() + "/");
        ctx = std::make_unique<AppContext>(AppContext{state, *mci, *settings, *platform});
        state.CdDrives = QStringList{"D:"};
        state.CurCdDrive = "D:";
        settings->LoadOptions(state);
        state.OptTaskTray = "0";
        form = std::make_unique<frmMedia>(*ctx);
        mci->setCallbackWindow(form.get());
        form->Form_Load();
        form->Form_Activate();
        form->timCD->stop();
        form->transport->cmdPlay_Click();
    }
    ~Player()
    {
        mci->MciClose(state.MciAlias);
        mci->setCallbackWindow(nullptr);
    }
};

Player& player()
{
    static Player p;
    return p;
}

double bareQuerySeconds(Player& p, int n)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i)
        benchmark::DoNotOptimize(p.mci->MciGetPosition(p.state.MciAlias));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
}

void BareStatusPosition(benchmark::State& state)
{
    Player& p = player();
    for (auto _ : state)
        benchmark::DoNotOptimize(p.mci->MciGetPosition(p.state.MciAlias));
}
BENCHMARK(BareStatusPosition)->Unit(benchmark::kMicrosecond);

void PollCdTick(benchmark::State& state)
{
    Player& p = player();
    const double baseline = bareQuerySeconds(p, 2000);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        p.state.PollSuspended = false;
        p.form->poller->timCD_Timer();
    }
    const double tick = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
                        / double(state.iterations());
    state.counters["ratio"] = baseline > 0 ? tick / baseline : 0;
}
BENCHMARK(PollCdTick)->Unit(benchmark::kMicrosecond);

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
