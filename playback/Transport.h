#pragma once

struct AppContext;
class frmMedia;

// The ten transport commands of the panel, the popup items that run them, the pause
// indicator and the click on the title strip's frame.
class Transport {
public:
    // Skip forward and skip back move this many milliseconds.
    static constexpr int kSkipMilliseconds = 10000;

    Transport(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    // Connects the buttons, the popup items and picFrame to the handlers below.
    void connectTo(frmMedia& form);

    void cmdPlay_Click();
    void cmdPause_Click();
    void cmdStop_Click();
    void cmdRR_Click();
    void cmdFF_Click();
    void cmdPrev_Click();
    void cmdNext_Click();
    void cmdTop_Click();
    void cmdBottom_Click();
    void cmdEject_Click();
    void picFrame_Click();
    // The skip of cmdFF/cmdRR over any distance (the desktop's seek).
    void skipBy(bool forward, int milliseconds);

    // True while Pause has paused playback; every Pause command flips it.
    bool PauseToggle = false;

private:
    // Gives the keyboard focus back to txtDummy unless the window is minimised.
    void focus();

    AppContext& ctx_;
    frmMedia& form_;
};
