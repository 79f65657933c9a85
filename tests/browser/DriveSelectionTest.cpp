#include "../playback/TransportFixture.h"

#include "browser/DriveSelection.h"
#include "ui/LedLabel.h"

#include <QApplication>

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

class DriveStepping : public ::testing::Test {
protected:
    DriveStepping()
    {
        f.state.CdDrives = QStringList{"D:", "E:", "F:"};
        f.state.CurCdDriveIndex = 1;
        f.state.CurCdDrive = "E:";
        f.form->Label1[1]->setCaption("CD E:");
    }
    TransportFixture f;
};

TEST_F(DriveStepping, UpAndDownReopenOnTheNeighbourAndStopAtTheEnds)
{
    f.state.PollSuspended = true;
    f.form->cmdUpDrive->click();
    EXPECT_EQ(f.state.CurCdDrive, "F:");
    EXPECT_EQ(f.state.CurCdDriveIndex, 2);
    EXPECT_EQ(f.form->Label1[1]->caption(), "CD F:");
    EXPECT_EQ(f.commands(), (QStringList{"stop 2", "close 2", "open F: type \"cdaudio\" alias 2 notify"}));
    EXPECT_TRUE(f.state.OpenPending);
    EXPECT_FALSE(f.state.PollSuspended);

    f.mciService->clearLog();
    f.form->cmdUpDrive->click();
    EXPECT_EQ(f.state.CurCdDrive, "F:");
    EXPECT_TRUE(f.commands().isEmpty()) << "no wrap-around";

    f.form->cmdDownDrive->click();
    f.form->cmdDownDrive->click();
    EXPECT_EQ(f.state.CurCdDrive, "D:");
    EXPECT_EQ(f.mciService->count("open D: type \"cdaudio\" alias 2 notify"), 1);
    f.mciService->clearLog();
    f.form->cmdDownDrive->click();
    EXPECT_EQ(f.state.CurCdDriveIndex, 0);
    EXPECT_TRUE(f.commands().isEmpty());
}

TEST_F(DriveStepping, FileModesLeaveTheDriveAlone)
{
    f.form->Label1[1]->setCaption("WAVE");
    f.form->cmdUpDrive->click();
    f.form->cmdDownDrive->click();
    EXPECT_EQ(f.state.CurCdDrive, "E:");
    EXPECT_TRUE(f.commands().isEmpty());
}

TEST_F(DriveStepping, OpenNotificationRestartsPolling)
{
    f.form->driveSelection->cmdDownDrive_Click();
    ASSERT_TRUE(f.mciService->deliverPendingNotify());
    QApplication::sendPostedEvents(f.form.get());
    EXPECT_TRUE(f.form->timCD->isActive());
    EXPECT_FALSE(f.state.OpenPending);
}

} // namespace
