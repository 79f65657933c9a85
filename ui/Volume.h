#pragma once

#include <cstdint>

struct AppContext;
class frmMedia;

// The volume slider, the ten-segment meter, mute, and the CD/AUX choice.
class Volume {
public:
    Volume(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    void hscVolume_Change(int index);
    void ShowVolumeMeter(int32_t level);
    void RefreshVolume();
    void lblMute_Click();

    // Sets the slider from a packed device volume (left channel L: position L/2 - 1, not
    // below 0) and redraws the meter.
    void SetSliderFromPacked(uint32_t packed);
    // The packed value with the 16-bit level in both channels.
    static uint32_t packBoth(uint32_t level) { return (level & 0xFFFF) * 65537u; }
    // The auxiliary device the slider drives in CD mode (CD output or external input).
    int16_t selectedAuxDevice() const;

    bool Muted() const { return muted_; }

private:
    AppContext& ctx_;
    frmMedia& form_;
    bool muted_ = false;
};
