// CPU time to play one minute of CD audio from an image through the cdaudio device (null
// sink, paced far above real time), against a plain read of the same sectors.
#include "platform/audio/AudioEngine.h"
#include "platform/cdrom/Disc.h"
#include "platform/cdrom/DriveTable.h"
#include "platform/cdrom/VirtualDriveFile.h"
#include "platform/mci/cdaudio/CdAudioDevice.h"
#include "tools/demodisc/DiscImageWriter.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <thread>

namespace {

constexpr int kMinute = 60 * 75;

struct Image {
    QTemporaryDir dir;
    std::string cue;
    Image()
    {
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        kb::demodisc::DiscLayout layout;
        layout.tracks.push_back({kb::demodisc::testSignal(kMinute, 3)});
        cue = dir.filePath("m.cue").toStdString();
        kb::demodisc::writeCueBin(QString::fromStdString(cue), layout);
        kb::cdrom::VirtualDriveFile().write({{"E:", cue, false, {}}});
    }
};

Image& image()
{
    static Image i;
    return i;
}

class OneDrive : public kb::cdrom::DriveTable {
public:
    std::vector<kb::cdrom::DriveEntry> drives() const override
    {
        return {{"E:", kb::cdrom::kDriveTypeCdrom, true, image().cue}};
    }
    void addEventReceiver(QObject*) override {}
    void removeEventReceiver(QObject*) override {}
};

void PlainRead(benchmark::State& state)
{
    auto disc = kb::cdrom::openDisc(image().cue).disc;
    std::vector<int16_t> buf(8 * 588 * 2);
    for (auto _ : state) {
        for (int f = 150; f < 150 + kMinute; f += 8)
            benchmark::DoNotOptimize(disc->readAudio(f, 8, buf.data()));
    }
}
BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void DevicePlay(benchmark::State& state)
{
    kb::audio::SinkChoice choice;
    choice.kind = kb::audio::SinkChoice::Kind::Null;
    choice.speed = 1000;
    auto engine = kb::audio::AudioEngine::create(choice);
    OneDrive drives;
    for (auto _ : state) {
        auto device = kb::mci::cdAudioDeviceType().create({engine.get(), &drives, nullptr});
        kb::mci::OpenRequest open;
        open.element = "E:";
        device->open(open);
        device->play({}, 1);
        std::string mode;
        kb::mci::StatusRequest status;
        do {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            device->status(status, mode);
        } while (mode == "playing");
    }
}
BENCHMARK(DevicePlay)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
