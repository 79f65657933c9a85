#pragma once

#include "desktop/PlayerSnapshot.h"

#include <QObject>
#include <QString>

#include <optional>

struct AppContext;
class frmMedia;

namespace kb::desktop {

class ExternalOpen;

// The player on the session bus as org.mpris.MediaPlayer2.kobaltune, so that the desktop's
// media keys and media controls reach it. Every command runs what the panel's own button
// runs; changes are announced from the status poll tick. Without a session bus (or with
// the name taken) it stays silent and the player runs as before.
class MprisService : public QObject {
public:
    static inline const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.kobaltune");
    static inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    static inline const QString kDesktopId = QStringLiteral("org.kobaltune.Kobaltune");

    MprisService(AppContext& ctx, frmMedia& form, ExternalOpen& opener);
    ~MprisService() override;

    // True when the object and the name are on the bus.
    bool registered() const { return registered_; }

    PlayerSnapshot snapshot() const;
    // Sends PropertiesChanged for what differs from the last announced state.
    void announceChanges();

    // The commands; each does nothing until the panel takes input.
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void seekBy(qlonglong offsetUs);
    void setPosition(qlonglong positionUs);
    void setVolume(double value);
    void openUri(const QString& uri);
    void raise();
    void quit();

private:
    bool ready() const;
    // Announces after the command's own events have run.
    void announceSoon();

    AppContext& ctx_;
    frmMedia& form_;
    ExternalOpen& opener_;
    bool registered_ = false;
    std::optional<PlayerSnapshot> announced_;
};

} // namespace kb::desktop
