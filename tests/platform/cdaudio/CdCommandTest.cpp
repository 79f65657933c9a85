// The command texts the player sends to a CD drive, through the whole platform: string
// service, cdaudio device, drive table over a virtual drive, and a fast null sound output.
#include "platform/cdrom/PhysicalDrives.h"
#include "platform/engine/Platform.h"
#include "tests/platform/cdaudio/CdFixture.h"
#include "tests/support/DriveEvents.h"
#include "tests/support/Eventually.h"

#include <QCoreApplication>

using namespace kb;

namespace {

class Notifications : public QObject {
public:
    std::vector<std::pair<uint32_t, uint32_t>> received; // (code, device id)
    bool event(QEvent* e) override
    {
        if (e->type() != mci::MciNotifyEvent::type())
            return QObject::event(e);
        const auto* n = static_cast<mci::MciNotifyEvent*>(e);
        received.emplace_back(n->flags(), n->deviceId());
        return true;
    }
};

class CdCommand : public kbtest::CdFixture {
protected:
    void SetUp() override
    {
        // The texts name drive D: and rely on it being the default drive; a machine with
        // an optical drive has its own D:.
        if (!cdrom::physicalDrives().empty())
            GTEST_SKIP() << "this machine has optical drives";
    }

    // Starts the platform on a disc already in drive D:, as when the player starts.
    void start(const demodisc::DiscLayout& disc)
    {
        insertImage(disc, "D:");
        audio::SinkChoice sink;
        sink.kind = audio::SinkChoice::Kind::Null;
        sink.speed = 10;
        platform_ = platform::makePlatform(sink);
        platform_->drives->addEventReceiver(&driveEvents_);
    }

    void TearDown() override
    {
        if (platform_)
            platform_->drives->removeEventReceiver(&driveEvents_);
    }

    // "<code>" on failure, the reply text on success.
    std::string send(const std::string& command)
    {
        std::string reply = "stale";
        const uint32_t rc = platform_->mci->sendString(command, reply, &notifications_);
        return rc ? "Error:" + std::to_string(rc) : reply;
    }

    bool waitForMode(const std::string& mode)
    {
        return kbtest::eventually([&] { return send("status 2 mode") == mode; });
    }

    std::unique_ptr<platform::Platform> platform_;
    Notifications notifications_;
    kbtest::DriveEvents driveEvents_;
};

// Tracks at 00:02:00, 00:12:00, 00:32:40; lead-out 01:12:40, disc length 01:10:39. The
// last track is long enough to still be playing while a few commands go by.
const demodisc::DiscLayout kThree = kbtest::discOf({750, 1540, 3000});

} // namespace

TEST_F(CdCommand, TheTextsThePlayerSendsGetTheRepliesItReads)
{
    start(kThree);
    ASSERT_EQ(send("open D: type \"cdaudio\" alias 2 notify"), "1");
    ASSERT_TRUE(kbtest::eventually([&] { return notifications_.received.size() >= 1; }));
    ASSERT_EQ(notifications_.received.size(), size_t{1});
    EXPECT_EQ(notifications_.received[0], std::make_pair(uint32_t{mci::NotifySuccessful}, uint32_t{1}));

    EXPECT_EQ(send("status 2 media present"), "true");
    EXPECT_EQ(send("status 2 mode"), "stopped");
    EXPECT_EQ(send("status 2 number of tracks"), "3");
    EXPECT_EQ(send("status 2 time format"), "msf");
    EXPECT_EQ(send("info 2 identity"), std::to_string(2 * 256 + 12 * 256 + 32 * 256 + 40));

    ASSERT_EQ(send("set 2 time format tmsf"), "");
    EXPECT_EQ(send("status 2 time format"), "tmsf");
    EXPECT_EQ(send("status 2 current track"), "1");
    EXPECT_EQ(send("status 2 position"), "01:00:00:00");
    EXPECT_EQ(send("status 2 length"), "01:10:39"); // lengths stay in msf
    const std::string track3 = send("status 2 position track 3");
    EXPECT_EQ(track3, "03:00:00:00");

    // The player plays a track from the reply it got for the track's position, unchanged.
    ASSERT_EQ(send("play 2 from " + track3), "");
    EXPECT_EQ(send("status 2 current track"), "3");
    EXPECT_EQ(send("status 2 mode"), "playing");
    ASSERT_EQ(send("pause 2"), "");
    EXPECT_EQ(send("status 2 mode"), "paused");
    const std::string pausedAt = send("status 2 position");
    EXPECT_EQ(pausedAt.substr(0, 3), "03:");
    ASSERT_EQ(send("play 2"), "");
    EXPECT_EQ(send("status 2 current track"), "3");
    ASSERT_EQ(send("stop 2"), "");
    EXPECT_EQ(send("status 2 mode"), "stopped");

    ASSERT_EQ(send("set 2 time format milliseconds"), "");
    EXPECT_EQ(send("status 2 time format"), "milliseconds");
    EXPECT_EQ(send("status 2 length"), std::to_string(5289 * 1000 / 75 + 1));
    ASSERT_EQ(send("seek 2 to 12001"), "");
    EXPECT_EQ(send("status 2 position"), "12001");
    EXPECT_EQ(send("status 2 current track"), "2");
    ASSERT_EQ(send("set 2 time format msf"), "");
    EXPECT_EQ(send("status 2 position"), "00:12:00");
    EXPECT_EQ(send("status 2 position track 2"), "00:12:00");

    ASSERT_EQ(send("set 2 door open"), "");
    EXPECT_EQ(send("status 2 media present"), "false");
    EXPECT_EQ(send("status 2 mode"), "open");
    ASSERT_TRUE(kbtest::eventually([&] { return driveEvents_.seen.size() >= 1; }));
    ASSERT_EQ(driveEvents_.seen.size(), size_t{1});
    EXPECT_EQ(driveEvents_.seen[0], std::make_pair(cdrom::kDeviceRemoveComplete, std::string("D:")));
    ASSERT_EQ(send("set 2 door closed"), "");
    EXPECT_EQ(send("status 2 media present"), "true");
    EXPECT_EQ(send("status 2 number of tracks"), "3");
    ASSERT_TRUE(kbtest::eventually([&] { return driveEvents_.seen.size() >= 2; }));
    ASSERT_EQ(driveEvents_.seen.size(), size_t{2});
    EXPECT_EQ(driveEvents_.seen[1], std::make_pair(cdrom::kDeviceArrival, std::string("D:")));
    ASSERT_EQ(send("close 2"), "");
    EXPECT_EQ(send("status 2 mode"), "Error:" + std::to_string(mci::MCIERR_INVALID_DEVICE_NAME));

    // Without a drive name the first drive opens.
    notifications_.received.clear();
    ASSERT_EQ(send("open \"cdaudio\" alias 2 notify"), "1");
    ASSERT_TRUE(kbtest::eventually([&] { return notifications_.received.size() >= 1; }));
    ASSERT_EQ(notifications_.received.size(), size_t{1});
    EXPECT_EQ(notifications_.received[0].first, uint32_t{mci::NotifySuccessful});
    EXPECT_EQ(send("status 2 number of tracks"), "3");
    EXPECT_EQ(send("close 2"), "");
}

TEST_F(CdCommand, CommandsThatDoNotApplyAndThePositionStart)
{
    start(kThree);
    ASSERT_EQ(send("open D: type \"cdaudio\" alias 2"), "1");
    EXPECT_EQ(send("resume 2"), "Error:" + std::to_string(mci::MCIERR_HARDWARE)) << "never played";
    EXPECT_EQ(send("status 2 mode"), "stopped");

    EXPECT_EQ(send("status 2 position start"), "00:02:00");
    EXPECT_EQ(send("status 2 position start track 2"), "Error:" + std::to_string(mci::MCIERR_FLAGS_NOT_COMPATIBLE));
    EXPECT_EQ(send("status 2 track"), "Error:" + std::to_string(mci::MCIERR_BAD_INTEGER));
    EXPECT_EQ(send("status 2 track 2"), "Error:" + std::to_string(mci::MCIERR_MISSING_PARAMETER));
    ASSERT_EQ(send("set 2 time format milliseconds"), "");
    EXPECT_EQ(send("status 2 position start"), "2001");
    ASSERT_EQ(send("set 2 time format tmsf"), "");
    EXPECT_EQ(send("status 2 position start"), "01:00:00:00");

    ASSERT_EQ(send("play 2 from 2"), "");
    ASSERT_EQ(send("pause 2"), "");
    ASSERT_EQ(send("resume 2"), "");
    EXPECT_EQ(send("status 2 mode"), "playing");
    ASSERT_EQ(send("stop 2"), "");
    EXPECT_EQ(send("resume 2"), "") << "a disc that played can be resumed";
    EXPECT_EQ(send("close 2"), "");
}

// In tmsf a bare number is a track: "from 3" starts at track 3.
TEST_F(CdCommand, TmsfFromATrackNumber)
{
    start(kThree);
    ASSERT_EQ(send("open D: type \"cdaudio\" alias 2"), "1");
    ASSERT_EQ(send("set 2 time format tmsf"), "");
    ASSERT_EQ(send("play 2 from 3"), "");
    EXPECT_EQ(send("status 2 current track"), "3");
    ASSERT_EQ(send("stop 2"), "");
    EXPECT_EQ(send("status 2 position").substr(0, 3), "03:");
    EXPECT_EQ(send("close 2"), "");
}

// A seconds field of 60 or more, or a frames field of 75 or more, names no address: the
// seek is refused and the device stays where it was (0:2:75 once landed on 00:03:00).
TEST_F(CdCommand, MsfFieldsBeyondTheirRangeAreRefused)
{
    start(kThree);
    ASSERT_EQ(send("open D: type \"cdaudio\" alias 2"), "1");
    ASSERT_EQ(send("seek 2 to 0:4:10"), "");
    for (const char* bad : {"seek 2 to 0:2:75", "seek 2 to 0:60:0", "play 2 from 0:2:200", "play 2 to 0:59:75"})
        EXPECT_EQ(send(bad), "Error:" + std::to_string(mci::MCIERR_OUTOFRANGE)) << bad;
    EXPECT_EQ(send("status 2 position"), "00:04:10");
    ASSERT_EQ(send("seek 2 to 0:2:74"), "");
    EXPECT_EQ(send("status 2 position"), "00:02:74");
    ASSERT_EQ(send("set 2 time format tmsf"), "");
    EXPECT_EQ(send("seek 2 to 2:0:60:0"), "Error:" + std::to_string(mci::MCIERR_OUTOFRANGE));
    EXPECT_EQ(send("seek 2 to 2:0:1:75"), "Error:" + std::to_string(mci::MCIERR_OUTOFRANGE));
    ASSERT_EQ(send("seek 2 to 2:0:1:74"), "");
    EXPECT_EQ(send("status 2 position"), "02:00:01:74");
    EXPECT_EQ(send("close 2"), "");
}

// The player knows the disc has ended when, in msf, the position text is not less than the
// length text.
TEST_F(CdCommand, PlayingToTheEndLeavesThePositionAtOrPastTheLength)
{
    start(kThree);
    ASSERT_EQ(send("open D: type \"cdaudio\" alias 2"), "1");
    ASSERT_EQ(send("set 2 time format milliseconds"), "");
    const long start = std::stol(send("status 2 position track 1"));
    const long length = std::stol(send("status 2 length"));
    ASSERT_EQ(send("play 2 from " + std::to_string(start + length - 1000)), "");
    ASSERT_TRUE(waitForMode("stopped"));
    ASSERT_EQ(send("set 2 time format msf"), "");
    const std::string position = send("status 2 position");
    const std::string discLength = send("status 2 length");
    EXPECT_EQ(position, "01:12:39"); // the frame before the lead-out
    EXPECT_GE(position, discLength);
    EXPECT_EQ(send("status 2 current track"), "3");
    EXPECT_EQ(send("close 2"), "");
}
