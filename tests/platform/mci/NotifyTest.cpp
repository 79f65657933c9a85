#include "tests/platform/mci/ServiceFixture.h"

#include "platform/mci/MciErrors.h"

#include <QThread>

#include <atomic>
#include <memory>
#include <thread>

using namespace kb::mci;
using kbtest::NotifySink;
using kbtest::ServiceFixture;

using Codes = std::vector<uint32_t>;

class Notify : public ServiceFixture {
protected:
    void SetUp() override
    {
        ASSERT_EQ(send("open scripted alias 2 notify"), "0 1");
        ASSERT_EQ(sink.received.size(), 0u) << "delivered only through the event loop";
        ASSERT_EQ(sink.codes(), Codes{NotifySuccessful});
    }
};

TEST_F(Notify, ImmediateCommandsNotifySuccessAtOnceAndCarryTheDeviceId)
{
    EXPECT_EQ(send("status 2 mode notify"), "0 stopped");
    EXPECT_EQ(send("set 2 time format ms notify"), "0");
    EXPECT_EQ(send("seek 2 to 10 notify"), "0");
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(sink.received.size(), 3u);
    for (const auto& [code, id] : sink.received) {
        EXPECT_EQ(code, NotifySuccessful);
        EXPECT_EQ(id, 1u);
    }
}

TEST_F(Notify, ACommandThatFailsPostsNothingAndLeavesThePendingPlay)
{
    ASSERT_EQ(send("play 2 notify"), "0");
    EXPECT_EQ(send("seek 2 to -1 notify"), "282");
    EXPECT_EQ(send("set 2 time format msf notify"), "293");
    EXPECT_EQ(send("status 2 bogus notify"), "259");
    EXPECT_EQ(sink.codes(), Codes{});
    log->finishPlay(PlayEnd::Completed);
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});
}

TEST_F(Notify, PlayNotifiesWhenTheDeviceReportsItsEnd)
{
    ASSERT_EQ(send("play 2 notify"), "0");
    EXPECT_EQ(sink.codes(), Codes{});
    log->finishPlay(PlayEnd::Completed);
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});

    ASSERT_EQ(send("play 2 from 0 notify"), "0");
    log->finishPlay(PlayEnd::Failed);
    EXPECT_EQ(sink.codes(), Codes{NotifyFailure});

    ASSERT_EQ(send("play 2 from 500 to 500 notify"), "0") << "a play that ends inside the call";
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});
}

TEST_F(Notify, StopSeekCloseAndANewPlayAbortThePendingPlay)
{
    for (const char* command : {"stop 2", "seek 2 to start", "play 2 from 100"}) {
        ASSERT_EQ(send("play 2 notify"), "0");
        ASSERT_EQ(send(command), "0");
        EXPECT_EQ(sink.codes(), Codes{NotifyAborted}) << command;
    }
    ASSERT_EQ(send("play 2 notify"), "0");
    ASSERT_EQ(send("stop 2 notify"), "0");
    EXPECT_EQ(sink.codes(), (Codes{NotifyAborted, NotifySuccessful}));

    ASSERT_EQ(send("play 2 notify"), "0");
    ASSERT_EQ(send("close 2"), "0");
    EXPECT_EQ(sink.codes(), Codes{NotifyAborted});
}

TEST_F(Notify, ANewerNotifySupersedesThePendingOne)
{
    ASSERT_EQ(send("play 2 notify"), "0");
    ASSERT_EQ(send("status 2 mode"), "0 playing");
    EXPECT_EQ(sink.codes(), Codes{}) << "no notify flag: the pending one stays";
    ASSERT_EQ(send("status 2 mode notify"), "0 playing");
    EXPECT_EQ(sink.codes(), (Codes{NotifySuperseded, NotifySuccessful}));
    log->finishPlay(PlayEnd::Completed);
    EXPECT_EQ(sink.codes(), Codes{}) << "the superseded play notifies no more";
}

TEST_F(Notify, PauseAbortsOnlyOnDevicesThatSaySo)
{
    ASSERT_EQ(send("play 2 notify"), "0");
    ASSERT_EQ(send("pause 2"), "0");
    EXPECT_EQ(sink.codes(), Codes{});
    ASSERT_EQ(send("resume 2"), "0");
    log->finishPlay(PlayEnd::Completed);
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});

    ASSERT_EQ(send("open d: type scriptedcd alias cd"), "0 2");
    ASSERT_EQ(send("play cd notify"), "0");
    ASSERT_EQ(send("pause cd"), "0");
    EXPECT_EQ(sink.codes(), Codes{NotifyAborted});
}

TEST_F(Notify, EachCommandNotifiesItsOwnCallback)
{
    NotifySink other;
    ASSERT_EQ(send("play 2 notify", &other), "0");
    ASSERT_EQ(send("stop 2 notify"), "0");
    EXPECT_EQ(other.codes(), Codes{NotifyAborted});
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});
}

TEST_F(Notify, ACallbackDestroyedBeforeDeliveryIsSkipped)
{
    auto doomed = std::make_unique<NotifySink>();
    ASSERT_EQ(send("play 2 notify", doomed.get()), "0");
    log->finishPlay(PlayEnd::Completed);
    doomed.reset();
    QCoreApplication::sendPostedEvents();

    doomed = std::make_unique<NotifySink>();
    ASSERT_EQ(send("play 2 notify", doomed.get()), "0");
    doomed.reset();
    log->finishPlay(PlayEnd::Completed);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(sink.codes(), Codes{});
}

TEST_F(Notify, PlayEndReportedFromAnotherThreadArrivesOnTheCallbackThread)
{
    ASSERT_EQ(send("play 2 notify"), "0");
    std::thread device([this] { log->finishPlay(PlayEnd::Completed); });
    device.join();
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});
}

TEST_F(Notify, WaitReturnsOnlyWhenThePlayHasEnded)
{
    std::atomic<bool> returned{false};
    std::thread caller([&] {
        std::string reply;
        EXPECT_EQ(service->sendString("play 2 wait notify", reply, &sink), 0u);
        returned = true;
    });
    // Wait (without a time bound on correctness) until the play has reached the device.
    while (log->snapshot().size() < 2)
        QThread::yieldCurrentThread();
    EXPECT_FALSE(returned.load());
    std::string reply;
    EXPECT_EQ(service->sendString("status 2 mode", reply, nullptr), 0u) << "others may still send";
    EXPECT_EQ(reply, "playing");
    log->finishPlay(PlayEnd::Completed);
    caller.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(sink.codes(), Codes{NotifySuccessful});

    std::thread closer([&] {
        while (log->snapshot().size() < 3)
            QThread::yieldCurrentThread();
        std::string r;
        service->sendString("close 2", r, nullptr);
    });
    EXPECT_EQ(send("play 2 wait"), "0") << "closing the device ends the wait";
    closer.join();
}
