#include "platform/cdrom/DiscToc.h"
#include "platform/mci/cdaudio/CdTime.h"
#include "tests/platform/cdaudio/CdFixture.h"

#include <QFile>

using namespace kb;
using mci::StatusItem;
using mci::TimeFormat;

namespace {

class CdReply : public kbtest::CdFixture {};

// Tracks at 00:02:00, 00:12:00 (750 + 150), 00:32:40 (900 + 1540 = 2440 + 150).
const kb::demodisc::DiscLayout kThree = kbtest::discOf({750, 1540, 300});

} // namespace

TEST_F(CdReply, RepliesInEveryTimeFormat)
{
    insertImage(kThree);
    auto d = openDevice(nullptr);
    EXPECT_EQ(status(*d, StatusItem::Mode), "stopped");
    EXPECT_EQ(status(*d, StatusItem::MediaPresent), "true");
    EXPECT_EQ(status(*d, StatusItem::TimeFormat), "msf");
    EXPECT_EQ(status(*d, StatusItem::NumberOfTracks), "3");
    EXPECT_EQ(status(*d, StatusItem::CurrentTrack), "1");
    EXPECT_EQ(status(*d, StatusItem::Position), "00:02:00");
    // Lead-out at 150 + 2590 = 2740 frames: disc length 2590 - 1 = 2589 = 00:34:39.
    EXPECT_EQ(status(*d, StatusItem::Length), "00:34:39");
    EXPECT_EQ(status(*d, StatusItem::Length, 1), "00:10:00");
    EXPECT_EQ(status(*d, StatusItem::Length, 3), "00:03:74");
    EXPECT_EQ(status(*d, StatusItem::Position, 2), "00:12:00");
    EXPECT_EQ(status(*d, StatusItem::Position, 3), "00:32:40");
    EXPECT_EQ(status(*d, StatusItem::Position, 4), "Error:" + std::to_string(mci::MCIERR_OUTOFRANGE));

    setFormat(*d, TimeFormat::Tmsf);
    EXPECT_EQ(status(*d, StatusItem::Position), "01:00:00:00");
    EXPECT_EQ(status(*d, StatusItem::Position, 3), "03:00:00:00");
    EXPECT_EQ(status(*d, StatusItem::Length), "00:34:39");
    EXPECT_EQ(status(*d, StatusItem::Length, 2), "00:20:40");

    setFormat(*d, TimeFormat::Milliseconds);
    EXPECT_EQ(status(*d, StatusItem::Position), "2001");
    EXPECT_EQ(status(*d, StatusItem::Position, 2), "12001");
    EXPECT_EQ(status(*d, StatusItem::Length), std::to_string(2589 * 1000 / 75 + 1));

    mci::SetRequest bad;
    bad.timeFormat = TimeFormat::Frames;
    EXPECT_EQ(d->set(bad), mci::MCIERR_BAD_TIME_FORMAT);
}

TEST_F(CdReply, SeekInEachFormatAndTrackRelativePositions)
{
    insertImage(kThree);
    auto d = openDevice(nullptr);
    mci::SeekRequest s;
    s.to = mci::packFields(0, 20, 5); // 00:20:05 = frame 1505, in track 2
    ASSERT_EQ(d->seek(s), 0u);
    EXPECT_EQ(status(*d, StatusItem::CurrentTrack), "2");
    setFormat(*d, TimeFormat::Tmsf);
    EXPECT_EQ(status(*d, StatusItem::Position), "02:00:08:05");
    s.to = mci::packFields(3, 0, 1, 2); // track 3 + 1 s 2 f
    ASSERT_EQ(d->seek(s), 0u);
    EXPECT_EQ(status(*d, StatusItem::Position), "03:00:01:02");
    s.to = 9; // no track 9
    EXPECT_EQ(d->seek(s), mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(status(*d, StatusItem::Position), "03:00:01:02");

    setFormat(*d, TimeFormat::Milliseconds);
    s.to = 12001; // back to frame 900
    ASSERT_EQ(d->seek(s), 0u);
    setFormat(*d, TimeFormat::Msf);
    EXPECT_EQ(status(*d, StatusItem::Position), "00:12:00");
    s.to = mci::packFields(0, 1, 74); // before the first track
    EXPECT_EQ(d->seek(s), mci::MCIERR_OUTOFRANGE);
    s.to = mci::packFields(0, 36, 40); // lead-out
    EXPECT_EQ(d->seek(s), mci::MCIERR_OUTOFRANGE);
    EXPECT_EQ(status(*d, StatusItem::Position), "00:12:00");
}

TEST(CdArithmetic, MillisecondConversions)
{
    using namespace mci::cdaudio;
    EXPECT_EQ(framesToMs(150), 2001u);
    EXPECT_EQ(msToFrames(2001), 150);
    for (int f = 0; f < 400000; f += 7)
        EXPECT_EQ(msToFrames(framesToMs(f)), f);
}

TEST(CdArithmetic, IdentityOfTheKnownDiscs)
{
    cdrom::Toc three;
    three.tracks = {{1, 150, true}, {2, 4 * 4500 + 10, true}, {3, 8 * 4500 + 30 * 75 + 74, true}};
    three.leadOut = 50000;
    EXPECT_EQ(three.identity(), 794708u);
    cdrom::Toc two;
    two.tracks = {{1, 150, true}, {2, 5 * 4500 + 10 * 75 + 20, true}};
    two.leadOut = 9 * 4500;
    EXPECT_EQ(two.identity(), 371122u);
    cdrom::Toc other = two;
    other.leadOut += 1;
    EXPECT_NE(other.identity(), two.identity());
}

TEST_F(CdReply, IdentityAndProductThroughTheDevice)
{
    insertImage(kThree);
    auto d = openDevice(nullptr);
    std::string id;
    ASSERT_EQ(d->info(mci::InfoItem::Identity, id), 0u);
    // 00:02:00 + 00:12:00 + 00:32:40 = 512 + 3072 + (32 * 256 + 40).
    EXPECT_EQ(id, std::to_string(512 + 12 * 256 + 32 * 256 + 40));
    std::string product;
    EXPECT_EQ(d->info(mci::InfoItem::Product, product), 0u);
    EXPECT_FALSE(product.empty());
}

TEST_F(CdReply, OpeningDrives)
{
    auto device = mci::cdAudioDeviceType().create({nullptr, table_.get(), &events_});
    mci::OpenRequest r;
    EXPECT_EQ(device->open(r), mci::MCIERR_DEVICE_NOT_INSTALLED); // no drive at all
    insertImage(kThree, "F:");
    r.element = "Q:";
    EXPECT_EQ(device->open(r), mci::MCIERR_INVALID_DEVICE_NAME);
    r.element = "f:";
    EXPECT_EQ(device->open(r), 0u);
    EXPECT_EQ(status(*device, StatusItem::MediaPresent), "true");

    // An empty drive opens (the player reopens it to notice a disc) but is not ready.
    cdrom::VirtualDriveFile().write({{"F:", "", false, {}}});
    r.element.clear();
    ASSERT_EQ(device->open(r), 0u);
    EXPECT_EQ(status(*device, StatusItem::MediaPresent), "false");
    EXPECT_EQ(status(*device, StatusItem::Mode), "not ready");
    EXPECT_EQ(status(*device, StatusItem::Position), "Error:" + std::to_string(mci::MCIERR_DEVICE_NOT_READY));
    EXPECT_EQ(device->play({}, 1), mci::MCIERR_DEVICE_NOT_READY);

    // A corrupt image reads as a disc the drive cannot read.
    const QString junk = dir_.file("junk.cue");
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("FILE nothing\nTRACK x\n");
    f.close();
    cdrom::VirtualDriveFile().write({{"F:", junk.toStdString(), false, {}}});
    ASSERT_EQ(device->open(r), 0u);
    EXPECT_EQ(status(*device, StatusItem::MediaPresent), "false");
}
