#pragma once

#include "app/PlayerState.h"

#include <QObject>
#include <QString>

#include <cstdint>

namespace kb::mci {
class MciService;
}

// The MCI command layer: every command the player sends goes through here, as text, to the
// media control service. Replies and error texts land in PlayerState::LastMciText.
class ModMci {
public:
    ModMci(PlayerState& state, kb::mci::MciService& service);

    // The window that receives completion notifications (the main window).
    void setCallbackWindow(QObject* window) { callbackWindow_ = window; }
    QObject* callbackWindow() const { return callbackWindow_; }

    int32_t MciSend(const QString& command, QString& reply, QObject* callbackWindow);
    QString MciStatus(const QString& command);

    int32_t MciOpen(const QString& device, const QString& alias, const QString& prefix);
    int32_t MciClose(const QString& alias);
    int32_t MciPlay(const QString& alias, const QString& from = {}, const QString& to = {});
    int32_t MciStop(const QString& alias);
    int32_t MciPause(const QString& alias);
    int32_t MciResume(const QString& alias);
    int32_t MciSeek(int32_t position, const QString& alias);
    int32_t MciSetTimeFormat(const QString& format, const QString& alias);
    int32_t MciDoorOpen(const QString& alias);
    int32_t MciDoorClosed(const QString& alias);
    int32_t MciSetWindow(const QString& alias, int32_t handle);
    int32_t MciPutDestination(const QString& alias, int32_t left, int32_t top, int32_t width,
                              int32_t height);
    int32_t MciGetIdentity(const QString& alias);

    QString MciGetPosition(const QString& alias);
    QString MciGetLength(const QString& alias);
    QString MciGetCurrentTrack(const QString& alias);
    QString MciGetTrackPosition(const QString& alias, const QString& track);
    QString MciGetMediaPresent(const QString& alias);
    QString MciGetTrackCount(const QString& alias);
    QString MciGetTimeFormat(const QString& alias);

    int32_t MciPlayTrack(int32_t track, const QString& alias);
    int16_t MciNextTrack(const QString& alias);
    int16_t MciPrevTrack(const QString& alias);
    int32_t MciForward(const QString& alias, int32_t milliseconds);
    int32_t MciRewind(const QString& alias, int32_t milliseconds);

private:
    PlayerState& state_;
    kb::mci::MciService& service_;
    QObject* callbackWindow_ = nullptr;
};
