#pragma once

#include <QObject>
#include <QString>

struct AppContext;
class frmMedia;

namespace kb::desktop {

// Plays a file named from outside the window (the command line, a second start, the media
// controls): switches to the mode that plays its type, lists its folder as the open button
// does and plays that very file. A disc image goes into a virtual drive and plays in CD mode
// once the drive has reported the disc.
class ExternalOpen : public QObject {
public:
    ExternalOpen(AppContext& ctx, frmMedia& form);

    // False (and nothing changes) when the file is not one the player plays or cannot be
    // found; the reason goes to stderr.
    bool open(const QString& path);

    // Opens the file once the panel takes input (at once when it already does): files named
    // at start-up or handed over while the player is still starting.
    void openWhenReady(const QString& path);

    // A disc image waits for its drive to become ready before it plays.
    bool discPlayPending() const { return pendingTicks_ > 0; }

private:
    bool openMediaFile(const QString& path, const QString& mode);
    bool openDiscImage(const QString& path);
    void switchMode(const QString& mode);
    // Runs on every status poll tick while a disc image waits to play.
    void onPollTick();
    void retryWaiting();

    AppContext& ctx_;
    frmMedia& form_;
    int pendingTicks_ = 0;
    QString waiting_;
    int waitRounds_ = 0;
};

} // namespace kb::desktop
