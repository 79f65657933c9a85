// The panel on the real platform and a virtual drive: a disc swapped without an eject, or
// an image rewritten in place, ends with the panel showing the new disc.
#include "app/AppContext.h"
#include "mci/MessageHook.h"
#include "platform/cdrom/VirtualDriveFile.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempDir.h"
#include "tools/demodisc/DiscImageWriter.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

#include <gtest/gtest.h>

namespace {

using kb::cdrom::VirtualDrive;
using kb::cdrom::VirtualDriveFile;

bool writeDisc(const QString& cue, int tracks)
{
    kb::demodisc::DiscLayout layout;
    for (int i = 0; i < tracks; ++i)
        layout.tracks.push_back({kb::demodisc::testSignal(40 + i, i)});
    return kb::demodisc::writeCueBin(cue, layout);
}

class DiscSwap : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(writeDisc(dir.file("three.cue"), 3));
        ASSERT_TRUE(writeDisc(dir.file("five.cue"), 5));
        insert(dir.file("three.cue"));
        platform = kb::platform::makePlatform({kb::audio::SinkChoice::Kind::Null, {}, 1});
        state.CdDrives = QStringList{"V:"};
        state.CurCdDrive = "V:";
        state.OptMedia = "CD";
        state.OptRepeat = "OFF";
        state.OptTimeType = "SINGLE TIME";
        state.OptTemae = "0";
        state.OptTaskTray = "0";
        state.OptTop = state.OptLeft = "100";
        mci = std::make_unique<ModMci>(state, *platform->mci);
        ctx = std::make_unique<AppContext>(AppContext{state, *mci, settings, *platform});
        form = std::make_unique<frmMedia>(*ctx);
        mci->setCallbackWindow(form.get());
    }
    void TearDown() override
    {
        if (form)
            form->hook->remove();
        form.reset();
        VirtualDriveFile().write({});
    }

    // What kobaltune-drive insert does: the drive now holds `cue`, no eject before.
    void insert(const QString& cue)
    {
        ASSERT_TRUE(VirtualDriveFile().write({VirtualDrive{"V:", cue.toStdString(), false, {}}}));
    }
    void start(const QString& autoRun)
    {
        state.OptAutoRun = autoRun;
        form->Form_Load();
        form->Form_Activate();
        ASSERT_TRUE(kbtest::eventually([&] { return state.TrackCount == "3"; })) << state.TrackCount.toStdString();
    }
    bool shows(const QString& tracks)
    {
        return kbtest::eventually([&] { return state.TrackCount == tracks && form->cmdPlay->isEnabled(); }, 15000);
    }

    kbtest::TempDir dir;
    PlayerState state;
    Settings settings{dir.file("Kobaltune.ini"), dir.path() + "/"};
    std::unique_ptr<kb::platform::Platform> platform;
    std::unique_ptr<ModMci> mci;
    std::unique_ptr<AppContext> ctx;
    std::unique_ptr<frmMedia> form;
};

TEST_F(DiscSwap, SwapWithoutEjectShowsTheNewDisc)
{
    start("0");
    insert(dir.file("five.cue"));
    EXPECT_TRUE(shows("5")) << state.TrackCount.toStdString();
    EXPECT_EQ(mci->MciStatus("status 2 mode"), "stopped");

    // The same image name rewritten with another disc.
    ASSERT_TRUE(writeDisc(dir.file("five.cue"), 4));
    EXPECT_TRUE(shows("4")) << state.TrackCount.toStdString();
}

TEST_F(DiscSwap, SwapWithAutoRunPlaysTheNewDisc)
{
    start("1");
    insert(dir.file("five.cue"));
    EXPECT_TRUE(kbtest::eventually([&] { return state.TrackCount == "5" && mci->MciStatus("status 2 mode") == "playing"; },
                                   15000))
        << state.TrackCount.toStdString();
}

} // namespace
