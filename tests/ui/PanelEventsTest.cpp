#include "../playback/TransportFixture.h"

#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/MeterSegment.h"
#include "ui/PowerTray.h"
#include "ui/Volume.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

using kbtest::PanelFixture;
using kbtest::TransportFixture;

namespace {

void send(QObject* to, QEvent&& e) { QApplication::sendEvent(to, &e); }

void mouse(QWidget* w, QEvent::Type type)
{
    const QPointF at(2, 2);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    send(w, QMouseEvent(type, at, w->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier));
}

// What the toolkit delivers to a widget for a double click: the second press comes only as
// the double-click event.
void doubleClick(QWidget* w)
{
    mouse(w, QEvent::MouseButtonPress);
    mouse(w, QEvent::MouseButtonRelease);
    mouse(w, QEvent::MouseButtonDblClick);
    mouse(w, QEvent::MouseButtonRelease);
}

TEST(LabelEvents, DoubleClickIsOneClickThenADoubleClick)
{
    LedLabel label(nullptr, "x");
    QStringList seen;
    QObject::connect(&label, &LedLabel::mouseDown, [&] { seen << "MouseDown"; });
    QObject::connect(&label, &LedLabel::mouseUp, [&] { seen << "MouseUp"; });
    QObject::connect(&label, &LedLabel::clicked, [&] { seen << "Click"; });
    QObject::connect(&label, &LedLabel::doubleClicked, [&] { seen << "DblClick"; });
    doubleClick(&label);
    EXPECT_EQ(seen, (QStringList{"MouseDown", "MouseUp", "Click", "DblClick", "MouseUp"}));

    seen.clear();
    mouse(&label, QEvent::MouseButtonPress);
    mouse(&label, QEvent::MouseButtonRelease);
    EXPECT_EQ(seen, (QStringList{"MouseDown", "MouseUp", "Click"})) << "a single click after a double click";
}

TEST(LabelEvents, DoubleClicksOnTheClickableLabelsActOnce)
{
    TransportFixture f;
    doubleClick(f.form->Label1[1]);
    EXPECT_EQ(f.form->Label1[1]->caption(), "VIDEO") << "the mode stepped twice";

    const bool muted = f.form->volume->Muted();
    doubleClick(f.form->lblMute);
    EXPECT_NE(f.form->volume->Muted(), muted);

    f.state.OptRepeat = "OFF";
    doubleClick(f.form->lblRep);
    EXPECT_EQ(f.form->lblRep->caption(), "ALL");
}

TEST(LabelEvents, EveryLegendClickSuspendsPolling)
{
    TransportFixture f;
    for (int index : {0, 3, 4}) {
        f.state.PollSuspended = false;
        f.mciService->clearLog();
        mouse(f.form->Label1[size_t(index)], QEvent::MouseButtonPress);
        mouse(f.form->Label1[size_t(index)], QEvent::MouseButtonRelease);
        EXPECT_TRUE(f.state.PollSuspended) << "Label1(" << index << ")";
        EXPECT_TRUE(f.form->timScroll->isActive());
        EXPECT_TRUE(f.commands().isEmpty());
    }
}

TEST(VolumeMeter, UnlitSegmentsAreInvisibleOnThePanel)
{
    PanelFixture f;
    f.form->volume->ShowVolumeMeter(13107);
    for (int i : {1, 4, 6, 9}) {
        const QImage shot = f.form->lblColor[size_t(i)]->grab().toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                ASSERT_EQ(shot.pixelColor(x, y), QColor(Qt::black)) << "segment " << i << " at " << x << "," << y;
    }
    const QImage lit = f.form->lblColor[0]->grab().toImage();
    EXPECT_NE(lit.pixelColor(lit.width() / 2, int(lit.height() * 0.33)), QColor(Qt::black));
}

TEST(TrayTip, FollowsTheReadOutWhilePollingIsStopped)
{
    TransportFixture f;
    f.state.TrackTitles = QStringList{QString(), "Overture", "Aria", "Finale"};
    f.form->lblTrackNo->setCaption("02:");
    EXPECT_EQ(f.form->powerTray->tip(), "[02] \"Aria\" ");

    // Into a file mode: no poll tick runs, the tip still follows the read-out.
    f.form->modes->mnuDeviceWAV_Click();
    EXPECT_FALSE(f.form->timCD->isActive());
    EXPECT_EQ(f.form->powerTray->tip(), "Kobaltune");

    f.form->modes->mnuDeviceCD_Click();
    f.state.TrackTitles = QStringList{QString(), "Overture", "Aria", "Finale"};
    f.form->lblTrackNo->setCaption("03:");
    EXPECT_EQ(f.form->powerTray->tip(), "[03] \"Finale\" ");
    f.state.OptTimeType = "SINGLE TIME";
    f.form->modes->Label1_Click(2);
    EXPECT_TRUE(f.form->powerTray->tip().startsWith("Total Time "));
}

} // namespace
