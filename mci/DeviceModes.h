#pragma once

#include <QString>

#include <cstdint>

struct AppContext;
class frmMedia;

// The five device modes (CD, VIDEO, WAVE, MIDI, MP3): entering a mode, the mode cycle of
// the device label and menu, the time-type switch, and the four display states.
class DeviceModes {
public:
    DeviceModes(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    // The device label's text up to its first blank (the whole text without one).
    QString GetDeviceName() const;
    void ShowPlayerCaption();
    void ShowCenterText(const QString& text);

    void OpenCdMode();
    void OpenVideoMode();
    void OpenWaveMode(bool mp3);
    void OpenMidiMode();

    // Shows the open video inside picVideo, scaled to the box.
    void PutVideoInPanel();

    void ShowNoMediaState();
    void ShowReadyState();
    void ShowPlayingState();
    void ShowStoppedState();

    void Label1_Click(int index);
    void mnuDeviceCD_Click();
    void mnuDeviceAVI_Click();
    void mnuDeviceWAV_Click();
    void mnuDeviceMIDI_Click();
    void mnuDeviceMP3_Click();
    void optCdOrAux_Click(int index);

    // The player caption of a mode name ("CD PLAYER"...), empty for an unknown name.
    static QString playerCaption(const QString& mode);

private:
    enum class Look { NoMedia, Ready, Playing, Stopped };
    void applyState(Look look);
    void openFileMode(const QString& deviceType, const QString& label, bool midiVolume,
                      int listHeight, int windowHeight, bool setsOpenPending);
    void placeIconButton();
    void litStrip();

    AppContext& ctx_;
    frmMedia& form_;
};
