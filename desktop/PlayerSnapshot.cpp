#include "desktop/PlayerSnapshot.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "playback/RepeatOrder.h"
#include "playback/Transport.h"
#include "ui/LedLabel.h"
#include "ui/VolumeBar.h"
#include "ui/frmMedia.h"

#include <QDBusObjectPath>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace kb::desktop {

namespace {

// The URL of the disc in the current drive: its image file, or the drive's device.
QString discUrl(AppContext& ctx)
{
    if (!ctx.platform.drives)
        return {};
    for (const auto& d : ctx.platform.drives->drives()) {
        if (QString::fromStdString(d.name) != ctx.state.CurCdDrive || d.source.empty())
            continue;
        const QString source = QString::fromStdString(d.source);
        return d.isVirtual ? QUrl::fromLocalFile(source).toString() : QStringLiteral("cdda://") + source;
    }
    return {};
}

void addLength(QVariantMap& m, qlonglong length)
{
    if (length > 0)
        m.insert(QStringLiteral("mpris:length"), length);
}

QVariantMap cdMetadata(AppContext& ctx, frmMedia& form)
{
    const PlayerState& s = ctx.state;
    const QString two = form.lblTrackNo->caption().left(2);
    const int n = two.size() == 2 && two[0].isDigit() && two[1].isDigit() ? two.toInt() : 0;
    QVariantMap m;
    if (n < 1 || n == 88)
        return m;
    m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackObjectPath(n))));
    const QString title = n < s.TrackTitles.size() ? s.TrackTitles[n].trimmed() : QString();
    m.insert(QStringLiteral("xesam:title"), title.isEmpty() ? QStringLiteral("Track %1").arg(two) : title);
    m.insert(QStringLiteral("xesam:trackNumber"), n);
    if (!s.CdAlbumTitle.trimmed().isEmpty())
        m.insert(QStringLiteral("xesam:album"), s.CdAlbumTitle.trimmed());
    if (!s.CdArtistName.trimmed().isEmpty())
        m.insert(QStringLiteral("xesam:artist"), QStringList{s.CdArtistName.trimmed()});
    const QString url = discUrl(ctx);
    if (!url.isEmpty())
        m.insert(QStringLiteral("xesam:url"), url);
    // The track's own length ("mm:ss:ff" in the CD time formats); the read-out shows the disc's.
    const QString length = ctx.mci.MciStatus(QStringLiteral("status %1 length track %2").arg(s.MciAlias).arg(n));
    addLength(m, readOutMicroseconds(length.left(5)));
    return m;
}

QVariantMap fileMetadata(frmMedia& form)
{
    QString path;
    QVariantMap m;
    if (!form.repeat || !form.repeat->GetSelectedFile(path))
        return m;
    m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackObjectPath(1))));
    m.insert(QStringLiteral("xesam:title"), QFileInfo(path).fileName());
    m.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(path).toString());
    addLength(m, readOutMicroseconds(form.lblAllTime->caption()));
    return m;
}

} // namespace

qlonglong readOutMicroseconds(const QString& text)
{
    static const QRegularExpression mmss(QStringLiteral("^(\\d{1,3}):(\\d\\d)$"));
    const auto match = mmss.match(text.trimmed());
    if (!match.hasMatch() || text.trimmed() == QLatin1String("88:88"))
        return -1;
    return (match.captured(1).toLongLong() * 60 + match.captured(2).toLongLong()) * 1000000;
}

QString trackObjectPath(int n)
{
    return n < 1 ? QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")
                 : QStringLiteral("/org/kobaltune/track/%1").arg(n);
}

PlayerSnapshot takeSnapshot(AppContext& ctx, frmMedia& form)
{
    PlayerSnapshot snap;
    const PlayerState& s = ctx.state;
    const QString mode = ctx.mci.MciStatus(QStringLiteral("status ") + s.MciAlias + QStringLiteral(" mode"));
    const bool paused = form.transport && form.transport->PauseToggle;
    // The pause flag outlives a Stop (the panel keeps showing "||"); sound going out wins.
    if (mode == QLatin1String("playing"))
        snap.playbackStatus = QStringLiteral("Playing");
    else if (paused)
        snap.playbackStatus = QStringLiteral("Paused");
    snap.metadata = s.CurDeviceType == QLatin1String("cdaudio") ? cdMetadata(ctx, form) : fileMetadata(form);
    snap.hasMedia = !snap.metadata.isEmpty();
    const VolumeBar* bar = form.hscVolume[0];
    if (bar && bar->maximum() > bar->minimum())
        snap.volume = double(bar->value() - bar->minimum()) / (bar->maximum() - bar->minimum());
    snap.positionUs = std::max<qlonglong>(0, readOutMicroseconds(form.lblTime->caption()));
    return snap;
}

} // namespace kb::desktop
