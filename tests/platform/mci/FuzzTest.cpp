#include "tests/platform/mci/ServiceFixture.h"

#include <random>

using kbtest::ServiceFixture;

namespace {

const char* const kSeeds[] = {
    "open scripted alias 2 notify", "open \"/tmp/曲 a.scr\" alias 2", "open D: type scriptedcd alias 2",
    "play 2 from 1000 to 2000 notify", "play 2 wait", "seek 2 to -5000", "seek 2 to 220:5:0",
    "seek 2 to start", "status 2 position track 3", "status 2 number of tracks", "set 2 time format smpte 30 drop",
    "set 2 door open door closed", "info 2 identity", "capability 2 can eject", "window 2 handle default state hide",
    "put 2 destination at 0 0 320 240", "close all notify", "stop all", "pause 2", "resume 2 test",
};
const char* const kWords[] = {"open", "close", "play", "stop", "seek", "status", "set", "2", "all", "to",
                              "from", "notify", "test", "\"", "time", "format", "-1", "1:2:3:4:5", "0x1F",
                              "position", "track", "\"a b\"", "alias", "type", "ｱ", "\t", ":", "start"};

std::string mutate(std::mt19937& rng, std::string text)
{
    std::uniform_int_distribution<int> op(0, 5);
    const int steps = std::uniform_int_distribution<int>(1, 4)(rng);
    for (int s = 0; s < steps; ++s) {
        const size_t at = text.empty() ? 0 : std::uniform_int_distribution<size_t>(0, text.size() - 1)(rng);
        switch (op(rng)) {
        case 0:
            if (!text.empty())
                text.erase(at, 1);
            break;
        case 1:
            text.insert(at, 1, static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)));
            break;
        case 2:
            text.insert(at, std::string(" ") + kWords[rng() % std::size(kWords)] + " ");
            break;
        case 3:
            if (!text.empty())
                text[at] = "\" :-09aZ\0"[rng() % 9];
            break;
        case 4:
            text = text.substr(0, at);
            break;
        default:
            text += std::string(" ") + kWords[rng() % std::size(kWords)];
            break;
        }
    }
    return text;
}

} // namespace

using Fuzz = ServiceFixture;

// Random and mutated commands never crash the service, never answer an error with a reply,
// and a refused command never moves or changes the device it names.
TEST_F(Fuzz, MalformedCommandsLeaveDevicesAlone)
{
    std::mt19937 rng(20240611);
    for (int i = 0; i < 6000; ++i) {
        if (send("status 2 mode") != "0 stopped" && send("status 2 mode") != "0 playing") {
            send("close all");
            ASSERT_EQ(send("open scripted alias 2"), "0 1");
        }
        const std::string before = send("status 2 position") + send("status 2 mode") + send("status 2 time format");
        std::string command = (i % 5 == 0) ? std::string() : kSeeds[rng() % std::size(kSeeds)];
        command = mutate(rng, command);
        if (command.find("wait") != std::string::npos)
            continue; // nothing would end the play
        std::string reply = "stale";
        const uint32_t rc = service->sendString(command, reply, &sink);
        if (rc != 0) {
            ASSERT_TRUE(reply.empty()) << command;
            const std::string after = send("status 2 position") + send("status 2 mode") + send("status 2 time format");
            if (after.rfind("263", 0) != 0) {
                ASSERT_EQ(before, after) << command;
            }
        }
        if (i % 500 == 0)
            sink.codes();
    }
    send("close all");
    EXPECT_EQ(log->liveDevices, 0);
}
