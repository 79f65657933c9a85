#pragma once

#include "platform/mci/MciService.h"
#include "platform/mci/ServiceFactory.h"
#include "tests/platform/mci/ScriptedDevice.h"

#include <QCoreApplication>
#include <QObject>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace kbtest {

// Collects the notifications it receives as (code, device id).
class NotifySink : public QObject {
public:
    std::vector<std::pair<uint32_t, uint32_t>> received;

    bool event(QEvent* e) override
    {
        if (e->type() != kb::mci::MciNotifyEvent::type())
            return QObject::event(e);
        const auto* n = static_cast<kb::mci::MciNotifyEvent*>(e);
        received.emplace_back(n->flags(), n->deviceId());
        return true;
    }

    std::vector<uint32_t> codes()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        std::vector<uint32_t> out;
        for (const auto& r : received)
            out.push_back(r.first);
        received.clear();
        return out;
    }
};

// A service over the scripted device type ("scripted", .scr/.tst) and a CD-like type
// ("scriptedcd") whose pause aborts a pending play notification.
class ServiceFixture : public ::testing::Test {
protected:
    ServiceFixture()
        : log(std::make_shared<DeviceLog>()),
          service(kb::mci::makeMciService({scriptedType(log), scriptedType(log, "scriptedcd", true)},
                                          nullptr, nullptr))
    {
    }

    // Sends a command; returns "<code>" or "<code> <reply>" for compact assertions.
    std::string send(std::string_view command, QObject* callback = nullptr)
    {
        std::string reply = "stale";
        const uint32_t rc = service->sendString(command, reply, callback ? callback : &sink);
        if (rc != 0) {
            EXPECT_TRUE(reply.empty()) << command;
        }
        return reply.empty() ? std::to_string(rc) : std::to_string(rc) + " " + reply;
    }

    std::shared_ptr<DeviceLog> log;
    std::unique_ptr<kb::mci::MciService> service;
    NotifySink sink;
};

} // namespace kbtest
