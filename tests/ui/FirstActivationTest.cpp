#include "../ui/PanelFixture.h"

#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/SkinButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

using kbtest::PanelFixture;

namespace {

TEST(FirstActivation, AKeyArrivingWhileItPumpsRunsAfterTheReadyState)
{
    PanelFixture f;
    f.scriptDisc(3);
    f.mciService->answer("status 2 mode", "stopped");
    f.form->Form_Load();
    f.form->txtDummy->setFocus();
    // Enter is already waiting when the first activation starts pumping messages.
    QCoreApplication::postEvent(f.form->txtDummy, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    f.mciService->clearLog();
    f.form->Form_Activate();
    EXPECT_EQ(f.mciService->countPrefix("play"), 0) << "Play ran in the middle of the first activation";
    EXPECT_TRUE(f.form->readyForInput());

    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(f.mciService->countPrefix("play"), 1) << "the key was lost";
    EXPECT_FALSE(f.form->cmdPlay->isEnabled()) << "the panel does not show the disc playing";
    EXPECT_TRUE(f.form->cmdStop->isEnabled());
}

// Stands for a window system that never activates a new window by itself.
class NoActivation : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        return e->type() == QEvent::WindowActivate || e->type() == QEvent::ActivationChange;
    }
};

TEST(FirstActivation, RunsOnceWhenTheWindowIsFirstOnScreenWithoutBeingActivated)
{
    PanelFixture f;
    f.scriptDisc(3);
    f.state.OptTimeType = "TOTAL TIME";
    NoActivation noActivation;
    f.form->installEventFilter(&noActivation);
    f.form->Form_Load();
    // Only activations may ask for the track count here, not a poll tick of a slow run.
    f.form->timCD->stop();
    EXPECT_FALSE(f.form->readyForInput());
    f.mciService->clearLog();
    f.form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.form->readyForInput(); }, 5000));
    EXPECT_EQ(f.form->Label1[2]->caption(), "TOTAL TIME");
    EXPECT_EQ(f.state.TrackCount, "3");
    EXPECT_EQ(f.mciService->count("status 2 number of tracks"), 1);

    // Later activations change nothing.
    f.form->removeEventFilter(&noActivation);
    f.form->hide();
    f.form->show();
    f.form->activateWindow();
    QApplication::setActiveWindow(f.form.get());
    QCoreApplication::processEvents();
    EXPECT_EQ(f.mciService->count("status 2 number of tracks"), 1);
}

} // namespace
