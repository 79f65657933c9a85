#include "desktop/MprisService.h"

#include "app/AppContext.h"
#include "desktop/ExternalOpen.h"
#include "desktop/FileArguments.h"
#include "desktop/MprisAdaptors.h"
#include "playback/Transport.h"
#include "ui/SkinButton.h"
#include "ui/VolumeBar.h"
#include "ui/frmMedia.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kb::desktop {

namespace {

const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

} // namespace

MprisService::MprisService(AppContext& ctx, frmMedia& form, ExternalOpen& opener)
    : ctx_(ctx), form_(form), opener_(opener)
{
    new MprisRootAdaptor(*this);
    new MprisPlayerAdaptor(*this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return;
    if (!bus.registerService(kServiceName)) {
        bus.unregisterObject(kObjectPath);
        return;
    }
    registered_ = true;
    connect(form.timCD, &QTimer::timeout, this, [this] { announceChanges(); });
    // Pausing stops the poll; the panel's buttons announce their own change.
    for (SkinButton* b : {form.cmdPlay, form.cmdPause, form.cmdStop, form.cmdPrev, form.cmdNext, form.cmdTop,
                          form.cmdBottom, form.cmdEject})
        connect(b, &QAbstractButton::clicked, this, [this] { announceSoon(); });
}

MprisService::~MprisService()
{
    if (!registered_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(kServiceName);
    bus.unregisterObject(kObjectPath);
}

PlayerSnapshot MprisService::snapshot() const { return takeSnapshot(ctx_, form_); }

void MprisService::announceChanges()
{
    if (!registered_)
        return;
    const PlayerSnapshot now = snapshot();
    QVariantMap player;
    const bool first = !announced_;
    if (first || announced_->playbackStatus != now.playbackStatus)
        player.insert(QStringLiteral("PlaybackStatus"), now.playbackStatus);
    if (first || announced_->metadata != now.metadata)
        player.insert(QStringLiteral("Metadata"), now.metadata);
    if (first || announced_->volume != now.volume)
        player.insert(QStringLiteral("Volume"), now.volume);
    if (first || announced_->hasMedia != now.hasMedia) {
        for (const char* name : {"CanPlay", "CanPause", "CanSeek", "CanGoNext", "CanGoPrevious"})
            player.insert(QString::fromLatin1(name), now.hasMedia);
    }
    announced_ = now;
    if (player.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << player << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

void MprisService::announceSoon()
{
    QTimer::singleShot(0, this, [this] { announceChanges(); });
}

bool MprisService::ready() const { return form_.readyForInput() && form_.transport; }

void MprisService::play()
{
    if (!ready())
        return;
    // Play while paused resumes, as the pause button does; otherwise the play button's road.
    if (form_.transport->PauseToggle)
        form_.transport->cmdPause_Click();
    else
        form_.transport->cmdPlay_Click();
    announceSoon();
}

void MprisService::pause()
{
    if (!ready() || form_.transport->PauseToggle || snapshot().playbackStatus != QLatin1String("Playing"))
        return;
    form_.transport->cmdPause_Click();
    announceSoon();
}

void MprisService::playPause()
{
    if (!ready())
        return;
    if (!form_.transport->PauseToggle && snapshot().playbackStatus == QLatin1String("Playing"))
        pause();
    else
        play();
}

void MprisService::stop()
{
    if (!ready())
        return;
    form_.transport->cmdStop_Click();
    announceSoon();
}

void MprisService::next()
{
    if (!ready())
        return;
    form_.transport->cmdNext_Click();
    announceSoon();
}

void MprisService::previous()
{
    if (!ready())
        return;
    form_.transport->cmdPrev_Click();
    announceSoon();
}

void MprisService::seekBy(qlonglong offsetUs)
{
    if (!ready() || offsetUs == 0 || !snapshot().hasMedia)
        return;
    const qlonglong ms = std::min<qlonglong>(std::llabs(offsetUs) / 1000, 24LL * 3600 * 1000);
    form_.transport->skipBy(offsetUs > 0, int(ms));
    announceSoon();
}

void MprisService::setPosition(qlonglong positionUs)
{
    if (positionUs < 0)
        return;
    seekBy(positionUs - snapshot().positionUs);
}

void MprisService::setVolume(double value)
{
    if (!ready() || std::isnan(value))
        return;
    VolumeBar* bar = form_.hscVolume[0];
    const double clamped = std::clamp(value, 0.0, 1.0);
    bar->setValue(bar->minimum() + int(std::lround(clamped * (bar->maximum() - bar->minimum()))));
    announceSoon();
}

void MprisService::openUri(const QString& uri)
{
    const QString path = localPath(uri, QDir::currentPath());
    if (path.isEmpty())
        return;
    opener_.openWhenReady(path);
    announceSoon();
}

void MprisService::raise()
{
    if (!ready())
        return;
    // A window minimised into the tray comes back the way the popup's restore item brings it.
    if (form_.isMinimized() || !form_.isVisible())
        form_.mnuPopUpMotoSize_Click();
    form_.raise();
    form_.activateWindow();
}

void MprisService::quit()
{
    if (!ready() || !form_.powerOff)
        return;
    // Power-off ends the event loop; it runs from the loop, not inside the bus call.
    QTimer::singleShot(0, &form_, [this] { form_.powerOff(); });
}

} // namespace kb::desktop
