#include "platform/engine/Platform.h"
#include "platform/mci/DriverModule.h"
#include "platform/mci/DriverRegistry.h"
#include "platform/mci/MciErrors.h"
#include "tests/support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

const fs::path kBuiltDrivers = fs::path(KOBALTUNE_BINARY_DIR) / "lib" / "kobaltune";
const fs::path kTestModules = KBTEST_MODULE_DIR;

// The platform over the known device types, their modules looked for in `dirs` only.
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

TEST(DriverRegistry, NamesAndExtensionsResolveBeforeAnyModuleIsFound)
{
    kbtest::TempDir empty;
    Service s({empty.path().toStdString()});
    // Known types and extensions reach the loader (which finds nothing); unknown ones never do.
    EXPECT_EQ(s.send("open waveaudio alias w"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open \"/x/Song.MID\" alias m"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open clip.mpv2 alias v"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open cdaudio"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open song.xyz alias x"), kb::mci::MCIERR_EXTENSION_NOT_FOUND);
    EXPECT_EQ(s.send("open song.wav type nosuchtype alias x"), kb::mci::MCIERR_INVALID_DEVICE_NAME);
    // A test open stops before the driver: it succeeds without the module.
    EXPECT_EQ(s.send("open waveaudio alias w test"), kb::mci::MCIERR_NO_ERROR);
}

TEST(DriverRegistry, BrokenModulesFailTheirOpenAndTheServiceGoesOn)
{
    kbtest::TempDir broken;
    const fs::path dir = broken.path().toStdString();
    fs::create_symlink(kBuiltDrivers / "waveaudio.so", dir / "waveaudio.so");
    // Not a shared object; one without the entry point; one built for another interface.
    QFile garbage(QString::fromStdString((dir / "sequencer.so").string()));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x7f" "ELF but not really");
    garbage.close();
    fs::copy_file(kTestModules / "NoEntry.so", dir / "avivideo.so");
    fs::copy_file(kTestModules / "OtherAbi.so", dir / "cdaudio.so");

    Service s({dir});
    EXPECT_EQ(s.send("open waveaudio alias w1"), kb::mci::MCIERR_NO_ERROR);
    EXPECT_EQ(s.send("open sequencer alias m"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open a.avi alias v"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open cdaudio alias c"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    // Failed loads are tried again, and fail the same way.
    EXPECT_EQ(s.send("open sequencer alias m"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
    EXPECT_EQ(s.send("open waveaudio alias w2"), kb::mci::MCIERR_NO_ERROR);
    EXPECT_EQ(s.send("close all"), kb::mci::MCIERR_NO_ERROR);

    // A working module that serves another type is refused too.
    kbtest::TempDir misnamed;
    const fs::path other = misnamed.path().toStdString();
    fs::create_symlink(kBuiltDrivers / "waveaudio.so", other / "sequencer.so");
    Service t({other});
    EXPECT_EQ(t.send("open sequencer alias m"), kb::mci::MCIERR_CANNOT_LOAD_DRIVER);
}

TEST(DriverRegistry, EveryBuiltModuleServesItsTypeWithTheRegisteredExtensions)
{
    for (const kb::mci::DriverInfo& info : kb::mci::knownDrivers()) {
        std::string error;
        auto module = kb::mci::DriverModule::load((kBuiltDrivers / (info.name + ".so")).string(), info.name, error);
        ASSERT_NE(module, nullptr) << info.name << ": " << error;
        EXPECT_EQ(module->type().extensions, info.extensions) << info.name;
    }
}

TEST(DriverRegistry, LoaderNamesTheReasonForARefusal)
{
    std::string error;
    EXPECT_EQ(kb::mci::DriverModule::load((kTestModules / "NoEntry.so").string(), "waveaudio", error), nullptr);
    EXPECT_NE(error.find("entry point"), std::string::npos) << error;
    EXPECT_EQ(kb::mci::DriverModule::load((kTestModules / "OtherAbi.so").string(), "waveaudio", error), nullptr);
    EXPECT_NE(error.find("interface"), std::string::npos) << error;
    EXPECT_EQ(kb::mci::DriverModule::load("/nonexistent/waveaudio.so", "waveaudio", error), nullptr);
    EXPECT_FALSE(error.empty());
}

} // namespace
