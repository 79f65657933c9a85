#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "playback/TrackGrid.h"
#include "ui/HeldInput.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/frmMedia.h"

#include <QApplication>

void frmMedia::Form_Initialize() { FormActivated = false; }

void frmMedia::Form_Load()
{
    if (FormActivated)
        return;
    PlayerState& s = ctx_.state;

    const auto left = kb::numtext::toInt32(s.OptLeft);
    const auto top = kb::numtext::toInt32(s.OptTop);
    if (left && top)
        Move(*left, *top, 7905, 6780);
    paintSkin();
    picCenter->setLeft(picFrame->Width());
    timCD->stop();

    const QString bare = QString();
    auto openBare = [&] { ctx_.mci.MciOpen(s.CurDeviceType, s.MciAlias, bare); };
    if (s.OptMedia == "CD") {
        Label1[1]->setCaption("CD " + s.CurCdDrive);
        modes->OpenCdMode();
        timCD->start();
    } else if (s.OptMedia == "VIDEO") {
        Label1[1]->setCaption("VIDEO");
        modes->OpenVideoMode();
        openBare();
    } else if (s.OptMedia == "WAVE") {
        Label1[1]->setCaption("WAVE");
        modes->OpenWaveMode(false);
        openBare();
    } else if (s.OptMedia == "MIDI") {
        Label1[1]->setCaption("MIDI");
        modes->OpenMidiMode();
        openBare();
    } else if (s.OptMedia == "MP3") {
        Label1[1]->setCaption("MP3");
        modes->OpenWaveMode(true);
        openBare();
    }

    s.OpenPending = true;
    modes->ShowNoMediaState();
    grid->RefreshTrackGrid();
    s.OpenPending = true;
    lvwFileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwFileList->setAllColumnsShowFocus(true);
    if (installMessageHook)
        installMessageHook();
}

void frmMedia::Form_Activate()
{
    if (FormActivated || activating_)
        return;
    PlayerState& s = ctx_.state;
    // The grid refresh below pumps messages: a key or click that arrives meanwhile runs once
    // the ready state is shown, not in the middle of it (where the ready state would then
    // overwrite what the command showed).
    activating_ = true;
    HeldInput held;

    if (s.OptTaskTray != "0" && addTrayIcon)
        addTrayIcon();

    ctx_.mci.MciSetTimeFormat(s.OptTimeType == "SINGLE TIME" ? "tmsf" : "msf", s.MciAlias);
    SavedTimeFormat = ctx_.mci.MciGetTimeFormat(s.MciAlias);
    Label1[2]->setCaption(s.OptTimeType);

    repeat->ApplyStoredRepeat();

    if (ctx_.mci.MciGetMediaPresent(s.MciAlias) == "true") {
        s.TrackCount = ctx_.mci.MciGetTrackCount(s.MciAlias);
        grid->RefreshTrackGrid();
        modes->ShowReadyState();
    }
    FormActivated = true;
    activating_ = false;
    if (isMinimized())
        return;
    txtDummy->setFocus();
}

void frmMedia::Form_Resize()
{
    if (ctx_.state.OptTaskTray == "0")
        return;
    if (isMinimized())
        setVisible(false);
}

void frmMedia::Form_Unload(int& cancel)
{
    cancel = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isWindow() && w->isVisible() && !qobject_cast<QMenu*>(w))
            w->close();
    }
}

void frmMedia::Label1_MouseDown(int index, int button, int, int, int)
{
    if (index == 1 && button == 2 && popupMenu)
        popupMenu(mnuDevice);
}

void frmMedia::mnuPopUpMotoSize_Click()
{
    if (!isMinimized())
        return;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}
