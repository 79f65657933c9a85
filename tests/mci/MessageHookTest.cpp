#include "../playback/TransportFixture.h"

#include "platform/cdrom/DriveTable.h"
#include "playback/TrackGrid.h"
#include "ui/LedLabel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

using kbtest::TransportFixture;

namespace {

void send(QObject& to, QEvent&& e) { QApplication::sendEvent(&to, &e); }

void deviceChange(TransportFixture& f, unsigned code)
{
    send(*f.form, kb::cdrom::DeviceChangeEvent(code, "D:"));
}

TEST(MessageHook, ArrivalRefreshesAStillPlayerAndAutoRunPresses)
{
    TransportFixture f;
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 number of tracks", "7");
    f.state.OptAutoRun = "0";
    deviceChange(f, kb::cdrom::kDeviceArrival);
    EXPECT_EQ(f.state.TrackCount, "7");
    EXPECT_TRUE(f.form->lblTracks[6]->isEnabled());
    EXPECT_EQ(f.display(), "ready");
    EXPECT_EQ(f.mciService->countPrefix("play"), 0);

    f.state.OptAutoRun = "1";
    f.state.PlayFromTrackStart = false;
    f.mciService->answer("status 2 mode", "playing");
    f.mciService->clearLog();
    deviceChange(f, kb::cdrom::kDeviceArrival);
    EXPECT_EQ(f.commands(), (QStringList{"status 2 mode", "play 2"})) << "playing: only Play is pressed";
}

TEST(MessageHook, RemovalClearsAStillPlayerOnly)
{
    TransportFixture f;
    deviceChange(f, kb::cdrom::kDeviceRemoveComplete);
    EXPECT_EQ(f.state.TrackCount, "3") << "a playing device is left to the poller";

    f.mciService->answer("status 2 mode", "stopped");
    f.state.PollSuspended = true;
    deviceChange(f, kb::cdrom::kDeviceRemoveComplete);
    EXPECT_EQ(f.state.TrackCount, "0");
    EXPECT_FALSE(f.form->lblTracks[0]->isEnabled());
    EXPECT_EQ(f.display(), "nomedia");

    f.mciService->clearLog();
    deviceChange(f, 0x0007);
    EXPECT_TRUE(f.commands().isEmpty());
}

TEST(MessageHook, NotifyRestartsPollingWhenAnOpenIsPendingEvenAfterAFailure)
{
    TransportFixture f;
    f.state.OpenPending = true;
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 number of tracks", "5");
    send(*f.form, kb::mci::MciNotifyEvent(kb::mci::NotifyFailure, 1));
    EXPECT_TRUE(f.form->timCD->isActive());
    EXPECT_FALSE(f.state.OpenPending);
    EXPECT_EQ(f.state.TrackCount, "5");

    // In a file mode only the timer is touched.
    f.form->timCD->stop();
    f.state.CurDeviceType = "waveaudio";
    f.state.OpenPending = true;
    f.mciService->clearLog();
    send(*f.form, kb::mci::MciNotifyEvent(kb::mci::NotifySuccessful, 1));
    EXPECT_TRUE(f.commands().isEmpty());
    EXPECT_TRUE(f.form->timCD->isActive());
}

TEST(MessageHook, NotifyOfARealOpenArrivesThroughTheQueue)
{
    TransportFixture f;
    f.state.OpenPending = true;
    f.mci->MciOpen("cdaudio", "2", "D: type ");
    ASSERT_TRUE(f.mciService->deliverPendingNotify());
    QApplication::sendPostedEvents(f.form.get());
    EXPECT_TRUE(f.form->timCD->isActive());
}

// A disc swapped without an eject posts a removal and an arrival at once. The removal's grid
// refresh pumps messages, which delivers the arrival while the hook is still busy: it is
// handled right after the removal, not dropped (which left the panel showing no disc).
TEST(MessageHook, ArrivalDeliveredDuringARemovalRunsAfterIt)
{
    TransportFixture f;
    f.state.OptAutoRun = "0";
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 number of tracks", "9");
    QCoreApplication::postEvent(f.form.get(), new kb::cdrom::DeviceChangeEvent(kb::cdrom::kDeviceRemoveComplete, "D:"));
    QCoreApplication::postEvent(f.form.get(), new kb::cdrom::DeviceChangeEvent(kb::cdrom::kDeviceArrival, "D:"));
    f.mciService->clearLog();
    QCoreApplication::sendPostedEvents(f.form.get());
    EXPECT_EQ(f.state.TrackCount, "9");
    EXPECT_TRUE(f.form->lblTracks[8]->isEnabled());
    EXPECT_EQ(f.display(), "ready");
    // The removal's queries come before the arrival's.
    const QStringList log = f.commands();
    ASSERT_TRUE(log.contains("status 2 number of tracks"));
    EXPECT_EQ(log.first(), "status 2 mode");
    EXPECT_EQ(f.mciService->count("status 2 number of tracks"), 1);

    // With auto-run on, the new disc plays.
    f.state.OptAutoRun = "1";
    QCoreApplication::postEvent(f.form.get(), new kb::cdrom::DeviceChangeEvent(kb::cdrom::kDeviceRemoveComplete, "D:"));
    QCoreApplication::postEvent(f.form.get(), new kb::cdrom::DeviceChangeEvent(kb::cdrom::kDeviceArrival, "D:"));
    f.mciService->clearLog();
    QCoreApplication::sendPostedEvents(f.form.get());
    EXPECT_EQ(f.state.TrackCount, "9");
    EXPECT_GE(f.mciService->countPrefix("play 2"), 1);
}

TEST(MessageHook, LeftDragWithoutModifiersMovesTheWindow)
{
    TransportFixture f;
    f.form->move(100, 100);
    f.form->show();
    const QPointF local(5, 5);
    const QPointF global = f.form->mapToGlobal(local);
    send(*f.form, QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier));
    const QPoint start = f.form->pos();
    send(*f.form, QMouseEvent(QEvent::MouseMove, local + QPointF(30, 0), global + QPointF(30, 0),
                              Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::NoModifier));
    EXPECT_EQ(f.form->pos(), start) << "two buttons held";
    send(*f.form, QMouseEvent(QEvent::MouseMove, local + QPointF(30, 0), global + QPointF(30, 0),
                              Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier));
    EXPECT_EQ(f.form->pos(), start) << "Shift held";
    send(*f.form, QMouseEvent(QEvent::MouseMove, local + QPointF(30, 0), global + QPointF(30, 0),
                              Qt::NoButton, Qt::LeftButton, Qt::NoModifier));
    EXPECT_EQ(f.form->pos(), start + QPoint(30, 0));
}

TEST(MessageHook, DragStartedOnALabelFollowsThePointerWithoutAJump)
{
    TransportFixture f;
    f.form->move(100, 100);
    f.form->show();
    // An earlier press elsewhere on the panel must not decide where this drag goes.
    const QPointF elsewhere(300, 200);
    send(*f.form, QMouseEvent(QEvent::MouseButtonPress, elsewhere, f.form->mapToGlobal(elsewhere), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier));
    send(*f.form, QMouseEvent(QEvent::MouseButtonRelease, elsewhere, f.form->mapToGlobal(elsewhere), Qt::LeftButton,
                              Qt::NoButton, Qt::NoModifier));

    LedLabel* label = f.form->Label1[0];
    const QPointF onLabel(3, 3);
    const QPointF global = label->mapToGlobal(onLabel);
    send(*label, QMouseEvent(QEvent::MouseButtonPress, onLabel, global, Qt::LeftButton, Qt::LeftButton,
                             Qt::NoModifier));
    const QPoint start = f.form->pos();
    // The label ignores the move, which travels on to the panel.
    const QPointF moved = global + QPointF(25, 10);
    send(*f.form, QMouseEvent(QEvent::MouseMove, f.form->mapFromGlobal(moved), moved, Qt::NoButton, Qt::LeftButton,
                              Qt::NoModifier));
    EXPECT_EQ(f.form->pos(), start + QPoint(25, 10));
}

TEST(MessageHook, ADiscBackAfterRemovalShowsNoTrackLit)
{
    TransportFixture f(6);
    f.mciService->answer("status 2 mode", "stopped");
    f.mciService->answer("status 2 number of tracks", "6");
    f.state.LastTrack = 0;
    f.form->grid->HighlightTrack(4);
    f.state.LastTrack = 4;
    ASSERT_EQ(f.form->lblTracks[3]->foreColor(), 0x00FF00u);

    deviceChange(f, kb::cdrom::kDeviceRemoveComplete);
    deviceChange(f, kb::cdrom::kDeviceArrival);
    EXPECT_EQ(f.display(), "ready");
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(f.form->lblTracks[size_t(k)]->foreColor(), 0x00FFFFu) << "cell " << k + 1;

    // The first poll on the disc draws its track again.
    f.mciService->answer("status 2 current track", "4");
    f.mciService->answer("status 2 media present", "true");
    f.form->lblTrackNo->setCaption("xx");
    f.state.PollSuspended = false;
    f.form->poller->PollCd();
    EXPECT_EQ(f.form->lblTrackNo->caption(), "04:");
    EXPECT_EQ(f.form->lblTracks[3]->foreColor(), 0x00FF00u);
}

TEST(MessageHook, RemovedHookHandlesNothing)
{
    TransportFixture f;
    f.form->hook->remove();
    f.form->hook->install();
    f.state.OpenPending = true;
    send(*f.form, kb::mci::MciNotifyEvent(kb::mci::NotifySuccessful, 1));
    EXPECT_FALSE(f.form->timCD->isActive());
    EXPECT_TRUE(f.state.OpenPending);
}

} // namespace
