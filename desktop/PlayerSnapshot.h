#pragma once

#include <QString>
#include <QVariantMap>

struct AppContext;
class frmMedia;

namespace kb::desktop {

// What the desktop's media controls show of the player, read from the panel and the state
// exactly as the user sees them.
struct PlayerSnapshot {
    QString playbackStatus = QStringLiteral("Stopped"); // "Playing", "Paused" or "Stopped"
    QVariantMap metadata;
    double volume = 0;
    qlonglong positionUs = 0;
    bool hasMedia = false; // a file or disc is open and can be played, paused and sought
    bool operator==(const PlayerSnapshot&) const = default;
};

PlayerSnapshot takeSnapshot(AppContext& ctx, frmMedia& form);

// Microseconds of an "mm:ss" read-out; -1 when the read-out shows no time ("88:88").
qlonglong readOutMicroseconds(const QString& text);

// The object path that names track `n`, or the no-track path for n < 1.
QString trackObjectPath(int n);

} // namespace kb::desktop
