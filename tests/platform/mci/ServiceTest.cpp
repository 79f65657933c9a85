#include "tests/platform/mci/ServiceFixture.h"

#include "platform/mci/MciErrors.h"

using namespace kb::mci;
using kbtest::ServiceFixture;

using Service = ServiceFixture;

TEST_F(Service, OpensByTypeNameExtensionAndExplicitType)
{
    EXPECT_EQ(send("open scripted alias 2"), "0 1");
    EXPECT_EQ(send("open \"/music/曲 A.TST\" alias x"), "0 2");
    EXPECT_EQ(send("open D: type \"SCRIPTEDCD\" alias cd shareable"), "0 3");
    EXPECT_EQ(send("open scripted!/tmp/b.scr alias y"), "0 4");
    EXPECT_EQ(send("open \"/music/no extension\" alias z"), "263");
    EXPECT_EQ(send("open /music/a.xyz alias z"), "281");
    EXPECT_EQ(send("open D: type nosuch alias z"), "263");
    EXPECT_EQ(send("open /music/missing.scr alias z"), "275");
    const std::vector<std::string> opens = {"open ", "open /music/曲 A.TST", "open D: shareable", "open /tmp/b.scr",
                                            "open /music/missing.scr"};
    EXPECT_EQ(log->snapshot(), opens);
    EXPECT_EQ(log->liveDevices, 4);
}

TEST_F(Service, AliasesAreUniqueCaseInsensitiveAndFreedByClose)
{
    EXPECT_EQ(send("open scripted alias Music"), "0 1");
    EXPECT_EQ(send("open a.scr alias MUSIC"), "289");
    EXPECT_EQ(send("status music mode"), "0 stopped");
    EXPECT_EQ(send("open a.scr"), "0 2");
    EXPECT_EQ(send("status A.SCR mode"), "0 stopped");
    EXPECT_EQ(send("open a.scr"), "265");
    EXPECT_EQ(send("close music"), "0");
    EXPECT_EQ(send("status music mode"), "263");
    EXPECT_EQ(send("close music"), "263");
    EXPECT_EQ(send("open b.scr alias music"), "0 1");
    // "all" is taken by every device at once: as an alias it could only be closed with them.
    EXPECT_EQ(send("open c.scr alias all"), "289");
    EXPECT_EQ(send("open c.scr alias ALL"), "289");
    EXPECT_EQ(send("close all"), "0");
    EXPECT_EQ(log->liveDevices, 0);
    EXPECT_EQ(send("status a.scr mode"), "263");
    EXPECT_EQ(send("close all"), "0");
}

TEST_F(Service, CommandsReachTheDeviceWithTheirArguments)
{
    ASSERT_EQ(send("open scripted alias 2"), "0 1");
    EXPECT_EQ(send("play 2 from 1000 to 0:20"), "0");
    EXPECT_EQ(send("status 2 mode"), "0 playing");
    EXPECT_EQ(send("pause 2"), "0");
    EXPECT_EQ(send("status 2 mode"), "0 paused");
    EXPECT_EQ(send("resume 2"), "0");
    EXPECT_EQ(send("seek 2 to 2500"), "0");
    EXPECT_EQ(send("status 2 position"), "0 2500");
    EXPECT_EQ(send("status 2 position track 3"), "0 2000");
    EXPECT_EQ(send("seek 2 to end"), "0");
    EXPECT_EQ(send("status 2 position"), "0 10000");
    EXPECT_EQ(send("set 2 time format bytes"), "0");
    EXPECT_EQ(send("status 2 time format"), "0 bytes");
    EXPECT_EQ(send("set 2 time format msf"), "293");
    EXPECT_EQ(send("status 2 time format"), "0 bytes");
    EXPECT_EQ(send("info 2 product"), "0 Scripted Device");
    EXPECT_EQ(send("capability 2 device type"), "0 other");
    EXPECT_EQ(send("window 2 handle 4294967295 state show"), "0");
    EXPECT_EQ(send("window 2 handle -1"), "0");
    EXPECT_EQ(send("put 2 destination at 0 0 320 240"), "0");
    EXPECT_EQ(send("put 2 destination"), "0");
    EXPECT_EQ(send("stop 2"), "0");

    const std::vector<std::string> calls = {
        "open ",        "play 1000 5120",
        "pause",        "resume",
        "seek to 2500", "seek to 10000",
        "set",          "set",
        "window 4294967295 show", "window 4294967295 -",
        "put 0 0 320 240", "put",
        "stop"};
    EXPECT_EQ(log->snapshot(), calls);
}

TEST_F(Service, NegativeAndOutOfRangePositionsAreRefusedWithoutMovingTheDevice)
{
    ASSERT_EQ(send("open scripted alias 2"), "0 1");
    ASSERT_EQ(send("seek 2 to 3000"), "0");
    EXPECT_EQ(send("seek 2 to -5000"), "282");
    EXPECT_EQ(send("play 2 from -1"), "282");
    EXPECT_EQ(send("play 2 to -1"), "282");
    EXPECT_EQ(send("status 2 position track -2"), "282");
    EXPECT_EQ(send("seek 2 to 20000"), "282");
    EXPECT_EQ(send("play 2 from 5000 to 4000"), "282");
    EXPECT_EQ(send("put 2 destination at 0 0 3000000000 1"), "282");
    EXPECT_EQ(send("status 2 position"), "0 3000");
    EXPECT_EQ(send("status 2 mode"), "0 stopped");
}

TEST_F(Service, TestFlagChecksWithoutActing)
{
    EXPECT_EQ(send("open scripted alias 2 test"), "0");
    EXPECT_EQ(log->liveDevices, 0);
    ASSERT_EQ(send("open scripted alias 2"), "0 1");
    EXPECT_EQ(send("seek 2 to 500 test"), "0");
    EXPECT_EQ(send("seek 2 to -1 test"), "282");
    EXPECT_EQ(send("status 2 position"), "0 0");
}

TEST_F(Service, AllAppliesToEveryOpenDevice)
{
    ASSERT_EQ(send("open a.scr alias a"), "0 1");
    ASSERT_EQ(send("open b.scr alias b"), "0 2");
    EXPECT_EQ(send("play a"), "0");
    EXPECT_EQ(send("play b"), "0");
    EXPECT_EQ(send("stop all"), "0");
    EXPECT_EQ(send("status a mode"), "0 stopped");
    EXPECT_EQ(send("status b mode"), "0 stopped");
    EXPECT_EQ(send("close all notify"), "0");
    EXPECT_EQ(sink.codes(), std::vector<uint32_t>{NotifySuccessful});
}

TEST_F(Service, DeviceIdsAreReusedFromTheLowest)
{
    ASSERT_EQ(send("open a.scr"), "0 1");
    ASSERT_EQ(send("open b.scr"), "0 2");
    ASSERT_EQ(send("close a.scr"), "0");
    EXPECT_EQ(send("open c.scr"), "0 1");
    EXPECT_EQ(send("open d.scr"), "0 3");
}
