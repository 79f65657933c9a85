#include "playback/Transport.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "ui/KeySink.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/SkinButton.h"
#include "ui/frmMedia.h"

namespace {

int32_t numericValue(const QString& reply)
{
    return kb::numtext::roundToInt32(kb::numtext::leadingNumber(reply)).value_or(0);
}

QString selectedItemText(const QTreeWidget& list)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        if (list.topLevelItem(i)->isSelected())
            return list.topLevelItem(i)->text(0);
    }
    return {};
}

// What Next, Prev, Top and Bottom do once the device plays the new track: the repeat-one
// mark follows it, and the next Play starts it from its beginning.
void showTrackChanged(PlayerState& s, frmMedia& form, bool restartTimer)
{
    form.repeat->UpdateRepeatOneTrack();
    if (restartTimer)
        form.timCD->start();
    s.PlayFromTrackStart = true;
    form.modes->ShowPlayingState();
    s.PollSuspended = false;
}

} // namespace

void Transport::connectTo(frmMedia& form)
{
    const auto on = [&form](auto* sender, auto signal, auto handler) {
        QObject::connect(sender, signal, &form, handler);
    };
    on(form.cmdPlay, &QAbstractButton::clicked, [this] { cmdPlay_Click(); });
    on(form.cmdPause, &QAbstractButton::clicked, [this] { cmdPause_Click(); });
    on(form.cmdStop, &QAbstractButton::clicked, [this] { cmdStop_Click(); });
    on(form.cmdRR, &QAbstractButton::clicked, [this] { cmdRR_Click(); });
    on(form.cmdFF, &QAbstractButton::clicked, [this] { cmdFF_Click(); });
    on(form.cmdPrev, &QAbstractButton::clicked, [this] { cmdPrev_Click(); });
    on(form.cmdNext, &QAbstractButton::clicked, [this] { cmdNext_Click(); });
    on(form.cmdTop, &QAbstractButton::clicked, [this] { cmdTop_Click(); });
    on(form.cmdBottom, &QAbstractButton::clicked, [this] { cmdBottom_Click(); });
    on(form.cmdEject, &QAbstractButton::clicked, [this] { cmdEject_Click(); });

    on(form.mnuPopUpPlay, &QAction::triggered, [this] { cmdPlay_Click(); });
    on(form.mnuPopUpPause, &QAction::triggered, [this] { cmdPause_Click(); });
    on(form.mnuPopUpStop, &QAction::triggered, [this] { cmdStop_Click(); });
    on(form.mnuPopUpPrev, &QAction::triggered, [this] { cmdPrev_Click(); });
    on(form.mnuPopUpNext, &QAction::triggered, [this] { cmdNext_Click(); });
    on(form.mnuPopUpTop, &QAction::triggered, [this] { cmdTop_Click(); });
    on(form.mnuPopUpBottom, &QAction::triggered, [this] { cmdBottom_Click(); });
    on(form.mnuPopUpEject, &QAction::triggered, [this] { cmdEject_Click(); });

    on(form.picFrame, &PictureBox::clicked, [this] { picFrame_Click(); });
    form.lblPause->setVisible(false);
}

void Transport::focus()
{
    if (!form_.isMinimized())
        form_.txtDummy->setFocus();
}

void Transport::cmdPlay_Click()
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    if (s.CurDeviceType != "sequencer") {
        if (s.PlayFromTrackStart) {
            s.CurTrack = numericValue(mci.MciGetCurrentTrack(s.MciAlias));
            mci.MciPlayTrack(s.CurTrack, s.MciAlias);
        } else {
            mci.MciPlay(s.MciAlias);
        }
    } else {
        if (s.PlayFromTrackStart) {
            mci.MciStop(s.MciAlias);
            mci.MciClose(s.MciAlias);
            s.OpenPending = true;
            mci.MciOpen(selectedItemText(*form_.lvwFileList), s.MciAlias, QString());
        }
        mci.MciPlay(s.MciAlias);
    }
    form_.modes->ShowPlayingState();
    s.PollSuspended = false;
    focus();
}

void Transport::cmdPause_Click()
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    s.PlayFromTrackStart = false;
    if (PauseToggle) {
        form_.lblPause->setVisible(false);
        if (s.CurDeviceType == "cdaudio")
            mci.MciPlay(s.MciAlias);
        else
            mci.MciResume(s.MciAlias);
        form_.timCD->start();
        s.PollSuspended = false;
    } else {
        s.PollSuspended = true;
        form_.timCD->stop();
        form_.lblPause->setVisible(true);
        mci.MciPause(s.MciAlias);
    }
    form_.modes->ShowPlayingState();
    PauseToggle = !PauseToggle;
    focus();
}

void Transport::cmdStop_Click()
{
    PlayerState& s = ctx_.state;
    s.PlayFromTrackStart = true;
    s.PollSuspended = true;
    ctx_.mci.MciStop(s.MciAlias);
    form_.modes->ShowStoppedState();
    focus();
}

void Transport::skipBy(bool forward, int milliseconds)
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    s.PlayFromTrackStart = false;
    mci.MciStop(s.MciAlias);
    if (forward)
        mci.MciForward(s.MciAlias, milliseconds);
    else
        mci.MciRewind(s.MciAlias, milliseconds);
    mci.MciPlay(s.MciAlias);
    form_.modes->ShowPlayingState();
    s.PollSuspended = false;
    focus();
}

void Transport::cmdFF_Click() { skipBy(true, kSkipMilliseconds); }
void Transport::cmdRR_Click() { skipBy(false, kSkipMilliseconds); }

void Transport::cmdNext_Click()
{
    PlayerState& s = ctx_.state;
    ctx_.mci.MciNextTrack(s.MciAlias);
    showTrackChanged(s, form_, false);
    focus();
}

void Transport::cmdPrev_Click()
{
    PlayerState& s = ctx_.state;
    ctx_.mci.MciPrevTrack(s.MciAlias);
    showTrackChanged(s, form_, false);
    focus();
}

void Transport::cmdTop_Click()
{
    PlayerState& s = ctx_.state;
    ctx_.mci.MciPlayTrack(1, s.MciAlias);
    showTrackChanged(s, form_, true);
    focus();
}

void Transport::cmdBottom_Click()
{
    PlayerState& s = ctx_.state;
    const int32_t n = numericValue(ctx_.mci.MciGetTrackCount(s.MciAlias));
    ctx_.mci.MciPlayTrack(n, s.MciAlias);
    showTrackChanged(s, form_, true);
    focus();
}

void Transport::cmdEject_Click()
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    s.PlayFromTrackStart = false;
    if (mci.MciGetMediaPresent(s.MciAlias) != "true") {
        mci.MciClose(s.MciAlias);
        mci.MciOpen(s.CurDeviceType, s.MciAlias, QString());
        mci.MciDoorClosed(s.MciAlias);
    } else {
        form_.modes->ShowNoMediaState();
        mci.MciStop(s.MciAlias);
        mci.MciDoorOpen(s.MciAlias);
        mci.MciClose(s.MciAlias);
    }
    focus();
}

void Transport::picFrame_Click()
{
    // The frame stands for the strip it holds: whatever a click on picCenter runs (the
    // title editor in CD mode) runs here too.
    emit form_.picCenter->clicked();
}
