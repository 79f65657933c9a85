// The waveaudio driver module with its decoder module, in a process that links no FFmpeg of
// its own, so that what the maps show is what the driver brought in. The decoder stays loaded
// once found, so each test needs a process of its own (as CTest runs them).
#include "platform/engine/Platform.h"
#include "platform/mci/DriverRegistry.h"
#include "platform/mci/MciErrors.h"
#include "tests/support/SineWav.h"
#include "tests/support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using kb::mci::MCIERR_CANNOT_LOAD_DRIVER;

const fs::path kBuiltDrivers = fs::path(KOBALTUNE_BINARY_DIR) / "lib" / "kobaltune";
const fs::path kTestModules = KBTEST_MODULE_DIR;

struct Service {
    explicit Service(std::vector<fs::path> dirs)
        : platform(kb::platform::makePlatform({kb::audio::SinkChoice::Kind::Null, {}, 1},
                                              kb::mci::driverDeviceTypes(std::move(dirs))))
    {
    }
    uint32_t send(const std::string& command)
    {
        std::string reply;
        return platform->mci->sendString(command, reply, nullptr);
    }
    std::unique_ptr<kb::platform::Platform> platform;
};

std::string selfMaps()
{
    QFile f(QStringLiteral("/proc/self/maps"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

bool mapsFfmpeg(const std::string& maps)
{
    for (const char* lib : {"libavformat", "libavcodec", "libavutil", "libswresample"})
        if (maps.find(lib) != std::string::npos)
            return true;
    return false;
}

std::string sineWav(const kbtest::TempDir& dir, const char* name, int rate)
{
    const std::string path = dir.fileUtf8(name);
    EXPECT_TRUE(kbtest::writeSineWav(path, {.rate = rate, .samples = rate / 10}, 16));
    return path;
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// The decoder module is looked for where the driver modules are.
void useDriverDir(const fs::path& dir) { ::setenv("KOBALTUNE_DRIVER_DIR", dir.c_str(), 1); }

TEST(WaveDecoder, WithoutAUsableDecoderOnlyFilesThatNeedItFailToOpen)
{
    kbtest::TempDir dir;
    const fs::path drivers = dir.fileUtf8("drivers");
    fs::create_directory(drivers);
    fs::create_symlink(kBuiltDrivers / "waveaudio.so", drivers / "waveaudio.so");
    useDriverDir(drivers);
    const std::string mp3 = dir.fileUtf8("song.mp3");
    std::ofstream(mp3, std::ios::binary) << std::string(4096, '\xff');
    const std::string cd = sineWav(dir, "cd.wav", 44100);
    const std::string low = sineWav(dir, "low.wav", 22050);

    Service s({drivers});
    // Missing, not a shared object, without the entry point: each open says so, and tries again.
    for (const char* broken : {"", "garbage", "NoEntry.so"}) {
        SCOPED_TRACE(broken);
        fs::remove(drivers / "wavedecode.so");
        if (std::string(broken) == "garbage")
            std::ofstream(drivers / "wavedecode.so", std::ios::binary) << "\x7f" "ELF but not really";
        else if (*broken)
            fs::copy_file(kTestModules / broken, drivers / "wavedecode.so");
        EXPECT_EQ(s.send("open " + quoted(mp3) + " alias m"), MCIERR_CANNOT_LOAD_DRIVER);
        // Other rates need the decoder's resampler.
        EXPECT_EQ(s.send("open " + quoted(low) + " alias l"), MCIERR_CANNOT_LOAD_DRIVER);
        EXPECT_EQ(s.send("open " + quoted(cd) + " alias w"), 0u);
        EXPECT_EQ(s.send("play w wait"), 0u);
        EXPECT_EQ(s.send("close all"), 0u);
    }
    EXPECT_FALSE(mapsFfmpeg(selfMaps()));
}

TEST(WaveDecoder, PlainWavPlaysWithoutFfmpegAndOtherFilesLoadTheDecoder)
{
    useDriverDir(kBuiltDrivers);
    kbtest::TempDir dir;
    Service s({kBuiltDrivers});
    ASSERT_EQ(s.send("open " + quoted(sineWav(dir, "cd.wav", 44100)) + " alias w"), 0u);
    ASSERT_EQ(s.send("play w wait"), 0u);
    ASSERT_EQ(s.send("close w"), 0u);
    std::string maps = selfMaps();
    ASSERT_NE(maps.find("/kobaltune/waveaudio.so"), std::string::npos);
    EXPECT_FALSE(mapsFfmpeg(maps));
    EXPECT_EQ(maps.find("/kobaltune/wavedecode.so"), std::string::npos);

    const fs::path mp3 = dir.fileUtf8("short.mp3");
    fs::copy_file(fs::path(kbtest::sourceDir().toStdString()) / "fuzz" / "seeds" / "media_open" / "mp3", mp3);
    ASSERT_EQ(s.send("open " + quoted(mp3.string()) + " alias m"), 0u);
    ASSERT_EQ(s.send("play m wait"), 0u);
    maps = selfMaps();
    EXPECT_NE(maps.find("/kobaltune/wavedecode.so"), std::string::npos);
    EXPECT_NE(maps.find("libavcodec"), std::string::npos);
    EXPECT_EQ(s.send("close all"), 0u);
}

} // namespace
