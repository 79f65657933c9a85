#include "desktop/DiscPlacement.h"

#include "tests/support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using kb::cdrom::DriveEntry;
using kb::cdrom::VirtualDrive;
using kb::cdrom::VirtualDriveFile;
using kb::desktop::placeDiscImage;

namespace {

class DiscPlacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.cue", "b.cue", "c.cue"}) {
            QFile f(dir_.file(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    std::string image(const char* name) const { return dir_.fileUtf8(name); }

    kbtest::TempDir dir_;
    VirtualDriveFile file_{dir_.file("drives.ini")};
};

TEST_F(DiscPlacement, AnImageAlreadyInADriveStaysThereAndAnEmptyDriveIsFilledFirst)
{
    ASSERT_TRUE(file_.write({VirtualDrive{"E:", image("a.cue"), false, {}}, VirtualDrive{"G:", {}, false, {}}}));
    EXPECT_EQ(placeDiscImage(dir_.file("a.cue"), file_, {}), "E:");
    EXPECT_EQ(placeDiscImage(dir_.file("b.cue"), file_, {}), "G:");
    const auto drives = file_.read();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].image, image("a.cue"));
    EXPECT_EQ(drives[1].image, image("b.cue"));
}

TEST_F(DiscPlacement, ANewDriveTakesTheFirstNameNeitherPhysicalNorVirtualAndAnOpenTrayIsLeftAlone)
{
    // F: has its door open with a disc in the tray: the user's, not free.
    ASSERT_TRUE(file_.write({VirtualDrive{"E:", image("a.cue"), false, {}}, VirtualDrive{"F:", {}, true, image("b.cue")}}));
    const std::vector<DriveEntry> physical{DriveEntry{"D:", kb::cdrom::kDriveTypeCdrom, false, "/dev/sr0"}};
    EXPECT_EQ(placeDiscImage(dir_.file("c.cue"), file_, physical), "G:");
    const auto drives = file_.read();
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[1].trayImage, image("b.cue"));
    EXPECT_EQ(drives[2].name, "G:");
    EXPECT_EQ(drives[2].image, image("c.cue"));
}

TEST_F(DiscPlacement, AMissingImageOrAnUnwritableDriveFileChangesNothing)
{
    QString why;
    EXPECT_EQ(placeDiscImage(dir_.file("none.cue"), file_, {}, &why), "");
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(file_.read().empty());

    const VirtualDriveFile blocked(dir_.file("no-such-folder/sub/drives.ini"));
    QFile plain(dir_.file("no-such-folder"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly)); // a file where the folder should be
    EXPECT_EQ(placeDiscImage(dir_.file("a.cue"), blocked, {}, &why), "");
    EXPECT_TRUE(why.contains("cannot write")) << why.toStdString();
}

} // namespace
