#pragma once

#include <QString>

struct AppContext;
class frmMedia;

// The once-a-second status polling of timCD: one poller per MCI device type. The pollers
// are the only place where the end of a disc or file is noticed and the repeat rules run.
class StatusPoller {
public:
    StatusPoller(AppContext& ctx, frmMedia& form) : ctx_(ctx), form_(form) {}

    // Connects timCD's timeout to timCD_Timer.
    void connectTo(frmMedia& form);

    void timCD_Timer();
    void PollCd();
    void PollWave();
    void PollVideo();
    void PollMidi();

private:
    enum class FileDevice { Wave, Video, Midi };
    void pollFile(FileDevice device);
    void restartFile(FileDevice device);
    QString status(const QString& what) const;

    AppContext& ctx_;
    frmMedia& form_;
    // The no-disc read-out has been drawn once since the last successful track read.
    bool NoDiscShown = false;
};
