#include "playback/StatusPoller.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "playback/TimeDisplay.h"
#include "playback/TrackGrid.h"
#include "ui/LedLabel.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>

namespace {

bool isError(const QString& reply) { return reply.startsWith(QLatin1String("Error")); }

void pumpMessages() { QCoreApplication::processEvents(); }

int16_t trackNumber(const QString& reply) { return kb::numtext::toInt16(kb::numtext::leadingNumber(reply)); }

// The 1-based index of the file list's first selected item, 0 when none is selected.
int selectedIndex(const QTreeWidget& list)
{
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        if (list.topLevelItem(i)->isSelected())
            return i + 1;
    }
    return 0;
}

} // namespace

void StatusPoller::connectTo(frmMedia& form)
{
    QObject::connect(form.timCD, &QTimer::timeout, &form, [this] { timCD_Timer(); });
}

QString StatusPoller::status(const QString& what) const
{
    return ctx_.mci.MciStatus("status " + ctx_.state.MciAlias + ' ' + what);
}

void StatusPoller::timCD_Timer()
{
    const QString type = ctx_.state.CurDeviceType;
    if (type == "cdaudio")
        PollCd();
    else if (type == "avivideo")
        PollVideo();
    else if (type == "waveaudio")
        PollWave();
    else if (type == "sequencer")
        PollMidi();
    pumpMessages();
}

void StatusPoller::PollCd()
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    if (s.PollSuspended)
        return;

    const QString present = mci.MciGetMediaPresent(s.MciAlias);
    QString mode = status("mode");
    if (present != "true" && mode != "playing") {
        if (!NoDiscShown) {
            NoDiscShown = true;
            form_.lblTrackNo->setCaption("01:");
            form_.lblTime->setCaption("00:00");
            form_.modes->ShowNoMediaState();
            s.TrackCount = "0";
            form_.grid->RefreshTrackGrid();
        }
        // Reopening on every tick is how a newly inserted disc is noticed.
        mci.MciClose(s.MciAlias);
        mci.MciOpen(s.CurDeviceType, s.MciAlias, s.CurCdDrive + " type ");
        pumpMessages();
        return;
    }

    mode = status("mode");
    if (mode != "playing") {
        s.TrackCount = mci.MciGetTrackCount(s.MciAlias);
        if (!form_.lblTracks[0]->isEnabled())
            form_.grid->RefreshTrackGrid();
        form_.modes->ShowReadyState();
        s.PollSuspended = true;
    }

    const QString trackReply = mci.MciGetCurrentTrack(s.MciAlias);
    if (isError(trackReply))
        return;
    const int16_t track = trackNumber(trackReply);
    NoDiscShown = false;

    if (!s.RepeatOneTrack.isEmpty() && s.RepeatOneTrack != trackReply)
        mci.MciPlayTrack(trackNumber(s.RepeatOneTrack), s.MciAlias);

    form_.grid->HighlightTrack(track);
    const QString position = mci.MciGetPosition(s.MciAlias);

    if (s.OptRepeat == "ALL" && mode == "stopped" && s.TrackCount == trackReply) {
        const QString length = mci.MciGetLength(s.MciAlias);
        const QString format = mci.MciGetTimeFormat(s.MciAlias);
        mci.MciSetTimeFormat("msf", s.MciAlias);
        const QString msf = mci.MciGetPosition(s.MciAlias);
        mci.MciSetTimeFormat(format, s.MciAlias);
        // Two error texts would compare as "at the end"; only real msf texts are compared.
        if (!isError(length) && !isError(msf) && msf >= length) {
            mci.MciPlayTrack(1, s.MciAlias);
            s.PlayFromTrackStart = true;
            form_.modes->ShowPlayingState();
            s.PollSuspended = false;
        }
    }

    if (track != s.LastTrack)
        form_.lblTrackNo->setCaption(TimeDisplay::cdTrackNumberText(trackReply));
    if (!isError(position))
        form_.timeDisplay->ShowPosition(position);

    if (s.CdAlbumTitle.isEmpty()) {
        form_.timeDisplay->ApplyCdTitleFont();
    } else {
        if (track != s.LastTrack)
            form_.timeDisplay->ApplyCdTitleFont();
        form_.timeDisplay->RotateTitles(track);
    }
    s.LastTrack = track;
}

void StatusPoller::PollWave() { pollFile(FileDevice::Wave); }
void StatusPoller::PollVideo() { pollFile(FileDevice::Video); }
void StatusPoller::PollMidi() { pollFile(FileDevice::Midi); }

void StatusPoller::pollFile(FileDevice device)
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    if (s.PollSuspended)
        return;

    QString selected;
    if (!form_.repeat->GetSelectedFile(selected)) {
        if (form_.lblTime->caption() != "88:88") {
            form_.lblTrackNo->setCaption("88:");
            form_.lblTime->setCaption("88:88");
            s.TrackCount = "1";
            form_.grid->RefreshTrackGrid();
        }
        return;
    }

    const int index = selectedIndex(*form_.lvwFileList);
    if (index != s.LastTrack) {
        form_.timeDisplay->ResetTitleFont();
        form_.modes->ShowPlayerCaption();
        if (!form_.lblTracks[0]->isEnabled()) {
            s.TrackCount = "1";
            form_.grid->RefreshTrackGrid();
        }
    }

    QString savedFormat;
    if (device == FileDevice::Video) {
        savedFormat = mci.MciGetTimeFormat(s.MciAlias);
        mci.MciSetTimeFormat("milliseconds", s.MciAlias);
    }

    const QString length = mci.MciGetLength(s.MciAlias);
    if (isError(length))
        return;

    QString trackReply;
    if (device != FileDevice::Midi)
        trackReply = mci.MciGetCurrentTrack(s.MciAlias);
    if (device == FileDevice::Video) {
        form_.grid->HighlightTrack(trackNumber(trackReply));
        pumpMessages();
    }
    const QString position = mci.MciGetPosition(s.MciAlias);

    if (!isError(trackReply)) {
        form_.lblTrackNo->setCaption(QString::number(index));
        if (!isError(position))
            form_.timeDisplay->ShowPosition(position);
    }
    pumpMessages();

    const QString mode = status("mode");
    if (mode != "playing" && s.OptRepeat == "OFF") {
        form_.modes->ShowStoppedState();
        return;
    }
    if (device == FileDevice::Wave) {
        form_.grid->HighlightTrack(trackNumber(trackReply));
        pumpMessages();
    } else if (device == FileDevice::Midi) {
        form_.grid->HighlightTrack(0);
        pumpMessages();
    }

    if ((s.OptRepeat == "ALL" || s.OptRepeat == "ONE") && mode != "playing") {
        const QString now = mci.MciGetPosition(s.MciAlias);
        bool atEnd = false;
        if (device == FileDevice::Midi) {
            // hh:mm:ss:ff texts of equal width order as times; an error text would not.
            atEnd = !isError(now) && now >= length;
        } else {
            const auto p = kb::numtext::toInt32(now);
            const auto l = kb::numtext::toInt32(length);
            atEnd = p && l && *p >= *l;
        }
        if (atEnd)
            restartFile(device);
    }

    if (device == FileDevice::Video)
        mci.MciSetTimeFormat(savedFormat, s.MciAlias);
    s.LastTrack = int16_t(selectedIndex(*form_.lvwFileList));
}

void StatusPoller::restartFile(FileDevice device)
{
    PlayerState& s = ctx_.state;
    ModMci& mci = ctx_.mci;
    mci.MciClose(s.MciAlias);
    s.OpenPending = true;
    QString file;
    if (s.OptRepeat == "ONE")
        form_.repeat->GetSelectedFile(file);
    else
        file = form_.repeat->SelectNextFile();
    mci.MciOpen(file, s.MciAlias, QString());
    s.PollSuspended = false;
    if (device == FileDevice::Video)
        form_.modes->PutVideoInPanel();
    mci.MciPlay(s.MciAlias);
    s.TrackCount = "1";
    form_.grid->RefreshTrackGrid();
    s.FileListClicked = false;
    s.PlayFromTrackStart = true;
    form_.modes->ShowPlayingState();
    pumpMessages();
    s.PollSuspended = false;
}
