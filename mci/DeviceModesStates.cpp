#include "app/AppContext.h"
#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/SkinButton.h"
#include "ui/Volume.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>
#include <QTreeWidget>

namespace {

struct Enables {
    bool play, pause, stop, trackButtons, eject, skip;
};

} // namespace

void DeviceModes::applyState(Look look)
{
    const bool cd = ctx_.state.CurDeviceType == "cdaudio";
    Enables e{};
    switch (look) {
    case Look::NoMedia: e = {false, false, false, false, cd, false}; break;
    case Look::Ready: e = {true, false, false, cd, cd, cd}; break;
    case Look::Playing: e = {false, true, true, cd, cd, cd}; break;
    case Look::Stopped: e = {true, false, false, cd, cd, false}; break;
    }
    frmMedia& f = form_;
    f.cmdPlay->setEnabled(e.play);
    f.cmdPause->setEnabled(e.pause);
    f.cmdStop->setEnabled(e.stop);
    for (auto* b : {f.cmdTop, f.cmdPrev, f.cmdNext, f.cmdBottom})
        b->setEnabled(e.trackButtons);
    f.cmdEject->setEnabled(e.eject);
    f.cmdFF->setEnabled(e.skip);
    f.cmdRR->setEnabled(e.skip);

    f.mnuPopUpPlay->setEnabled(e.play);
    f.mnuPopUpPause->setEnabled(e.pause);
    f.mnuPopUpStop->setEnabled(e.stop);
    for (auto* a : {f.mnuPopUpTop, f.mnuPopUpPrev, f.mnuPopUpNext, f.mnuPopUpBottom})
        a->setEnabled(e.trackButtons);
    // In the stopped file modes the last-track item stays usable although its button is not.
    if (look == Look::Stopped && !cd)
        f.mnuPopUpBottom->setEnabled(true);
    f.mnuPopUpEject->setEnabled(e.eject);
}

void DeviceModes::litStrip()
{
    form_.picCenter->setBackColor(0xFFFF00);
    form_.picCenter->setForeColor(0);
    form_.picFrame->setBackColor(0xFFFF00);
    form_.picFrame->setForeColor(0);
}

void DeviceModes::ShowNoMediaState()
{
    applyState(Look::NoMedia);
    PictureBox* strip = form_.picCenter;
    strip->setFontSize(9);
    strip->setFontName(QStringLiteral("Times New Roman"));
    strip->setBackColor(0);
    strip->setForeColor(0xFFFFFF);
    form_.lblTrackNo->setCaption("88:");
    form_.lblTime->setCaption("88:88");
    // The track read-out now shows nothing, so the next track read must draw it again even
    // when the disc comes back on the same track.
    ctx_.state.LastTrack = PlayerState::kNoTrackDrawn;
    form_.picFrame->setBackColor(0);
    form_.picFrame->setForeColor(0xFFFFFF);
    ShowPlayerCaption();
}

void DeviceModes::ShowReadyState()
{
    applyState(Look::Ready);
    litStrip();
    ShowPlayerCaption();
}

void DeviceModes::ShowPlayingState()
{
    applyState(Look::Playing);
    litStrip();
    ShowPlayerCaption();
}

void DeviceModes::ShowStoppedState()
{
    applyState(Look::Stopped);
    litStrip();
    ShowPlayerCaption();
}

void DeviceModes::Label1_Click(int index)
{
    PlayerState& s = ctx_.state;
    s.PollSuspended = true;
    form_.timScroll->stop();

    if (index == 1) {
        form_.timCD->stop();
        form_.lvwFileList->clear();
        const QString mode = GetDeviceName();
        if (mode == "CD") {
            form_.Label1[1]->setCaption("VIDEO");
            OpenVideoMode();
        } else if (mode == "VIDEO") {
            form_.Label1[1]->setCaption("WAVE");
            OpenWaveMode(false);
        } else if (mode == "WAVE") {
            form_.Label1[1]->setCaption("MIDI");
            OpenMidiMode();
        } else if (mode == "MIDI") {
            form_.Label1[1]->setCaption("MP3");
            OpenWaveMode(true);
        } else if (mode == "MP3") {
            s.LastTrack = 0;
            form_.Label1[1]->setCaption("CD " + s.CurCdDrive);
            OpenCdMode();
            form_.timCD->start();
        }
        s.LastTrack = 0;
        ShowPlayerCaption();
        QCoreApplication::processEvents();
    } else if (index == 2) {
        const QString& type = s.CurDeviceType;
        if (type == "cdaudio") {
            if (s.OptTimeType == "SINGLE TIME") {
                ctx_.mci.MciSetTimeFormat("msf", s.MciAlias);
                s.OptTimeType = "TOTAL TIME";
            } else {
                ctx_.mci.MciSetTimeFormat("tmsf", s.MciAlias);
                s.OptTimeType = "SINGLE TIME";
            }
        } else if (type == "avivideo") {
            ctx_.mci.MciSetTimeFormat("frame", s.MciAlias);
            s.OptTimeType = "SINGLE TIME";
        } else if (type == "waveaudio") {
            ctx_.mci.MciSetTimeFormat("ms", s.MciAlias);
            s.OptTimeType = "SINGLE TIME";
        } else if (type == "sequencer") {
            ctx_.mci.MciSetTimeFormat("smpte 24", s.MciAlias);
            s.OptTimeType = "SINGLE TIME";
        }
        form_.Label1[2]->setCaption(s.OptTimeType);
        s.PollSuspended = false;
    }
    form_.timScroll->start();
}

void DeviceModes::mnuDeviceCD_Click()
{
    form_.Label1[1]->setCaption("MP3");
    Label1_Click(1);
}

void DeviceModes::mnuDeviceAVI_Click()
{
    form_.Label1[1]->setCaption("CD " + ctx_.state.CurCdDrive);
    Label1_Click(1);
}

void DeviceModes::mnuDeviceWAV_Click()
{
    form_.Label1[1]->setCaption("VIDEO");
    Label1_Click(1);
}

void DeviceModes::mnuDeviceMIDI_Click()
{
    form_.Label1[1]->setCaption("WAVE");
    Label1_Click(1);
}

void DeviceModes::mnuDeviceMP3_Click()
{
    form_.Label1[1]->setCaption("MIDI");
    Label1_Click(1);
}

void DeviceModes::optCdOrAux_Click(int)
{
    form_.volume->RefreshVolume();
    form_.volume->hscVolume_Change(0);
}
