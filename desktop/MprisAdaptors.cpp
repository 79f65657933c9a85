#include "desktop/MprisAdaptors.h"

#include "desktop/MprisService.h"

namespace kb::desktop {

MprisRootAdaptor::MprisRootAdaptor(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service) {}

QString MprisRootAdaptor::identity() const { return QStringLiteral("Kobaltune"); }

QString MprisRootAdaptor::desktopEntry() const { return MprisService::kDesktopId; }

QStringList MprisRootAdaptor::supportedMimeTypes() const
{
    return {QStringLiteral("audio/x-wav"), QStringLiteral("audio/mpeg"), QStringLiteral("audio/midi"),
            QStringLiteral("audio/x-midi"), QStringLiteral("video/mpeg"), QStringLiteral("video/x-msvideo"),
            QStringLiteral("application/x-cue")};
}

void MprisRootAdaptor::Raise() { service_.raise(); }
void MprisRootAdaptor::Quit() { service_.quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service)
{
}

QString MprisPlayerAdaptor::playbackStatus() const { return service_.snapshot().playbackStatus; }
QVariantMap MprisPlayerAdaptor::metadata() const { return service_.snapshot().metadata; }
double MprisPlayerAdaptor::volume() const { return service_.snapshot().volume; }
void MprisPlayerAdaptor::setVolume(double value) { service_.setVolume(value); }
qlonglong MprisPlayerAdaptor::position() const { return service_.snapshot().positionUs; }
bool MprisPlayerAdaptor::canGoNext() const { return service_.snapshot().hasMedia; }
bool MprisPlayerAdaptor::canGoPrevious() const { return service_.snapshot().hasMedia; }
bool MprisPlayerAdaptor::canPlay() const { return service_.snapshot().hasMedia; }
bool MprisPlayerAdaptor::canPause() const { return service_.snapshot().hasMedia; }
bool MprisPlayerAdaptor::canSeek() const { return service_.snapshot().hasMedia; }

void MprisPlayerAdaptor::Next() { service_.next(); }
void MprisPlayerAdaptor::Previous() { service_.previous(); }
void MprisPlayerAdaptor::Pause() { service_.pause(); }
void MprisPlayerAdaptor::PlayPause() { service_.playPause(); }
void MprisPlayerAdaptor::Stop() { service_.stop(); }
void MprisPlayerAdaptor::Play() { service_.play(); }
void MprisPlayerAdaptor::Seek(qlonglong offset) { service_.seekBy(offset); }

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position)
{
    // A position for another track than the current one is ignored, as the interface asks.
    const QVariant current = service_.snapshot().metadata.value(QStringLiteral("mpris:trackid"));
    if (current.value<QDBusObjectPath>().path() == trackId.path())
        service_.setPosition(position);
}

void MprisPlayerAdaptor::OpenUri(const QString& uri) { service_.openUri(uri); }

} // namespace kb::desktop
