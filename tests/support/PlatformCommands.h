#pragma once

#include "platform/engine/Platform.h"
#include "tests/support/NotifyFlags.h"
#include "tests/support/TempDir.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kbtest {

// The whole platform on a null sink at four times real speed, driven by command texts as the
// player sends them, all with `sink` as their callback.
class PlatformCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform = kb::platform::makePlatform({kb::audio::SinkChoice::Kind::Null, {}, 4});
    }
    uint32_t send(const std::string& command) { return platform->mci->sendString(command, reply, &sink); }
    // The reply of a command that must succeed.
    std::string ask(const std::string& command)
    {
        EXPECT_EQ(send(command), 0u) << command;
        return reply;
    }
    // Polls device 2's mode until it reads `mode`; false after about `ms` milliseconds.
    bool waitFor(const std::string& mode, int ms)
    {
        for (int waited = 0; waited < ms; waited += 10) {
            if (ask("status 2 mode") == mode)
                return true;
            QTest::qWait(10);
        }
        return false;
    }

    TempDir dir;
    NotifyFlags sink;
    std::string reply;
    std::unique_ptr<kb::platform::Platform> platform;
};

} // namespace kbtest
