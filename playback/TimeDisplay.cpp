#include "playback/TimeDisplay.h"

#include "app/AppContext.h"
#include "app/NumberText.h"
#include "mci/DeviceModes.h"
#include "ui/LedLabel.h"
#include "ui/PictureBox.h"
#include "ui/frmMedia.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString twoDigits(int64_t n) { return QStringLiteral("00%1").arg(n).right(2); }

bool isError(const QString& reply) { return reply.startsWith(QLatin1String("Error")); }

} // namespace

QString TimeDisplay::cdTrackNumberText(const QString& currentTrackReply)
{
    return (QStringLiteral("00") + currentTrackReply.trimmed()).right(2) + ":";
}

QString TimeDisplay::millisecondsText(const QString& reply)
{
    // 64-bit seconds: positions past nine hours still give minutes and seconds.
    const double ms = kb::numtext::leadingNumber(reply);
    const int64_t seconds = std::isfinite(ms) ? int64_t(std::trunc(ms / 1000.0)) : 0;
    return twoDigits(seconds / 60) + ":" + twoDigits(seconds % 60);
}

QString TimeDisplay::cut(const QString& text, int first, int count)
{
    return text.mid(first - 1, count);
}

QString TimeDisplay::positionText(const QString& deviceType, const QString& optTimeType,
                                  const QString& reply, const QString& current)
{
    if (isError(reply))
        return current;
    if (deviceType == "cdaudio")
        return optTimeType == "SINGLE TIME" ? cut(reply, 4, 5) : cut(reply, 1, 5);
    if (deviceType == "sequencer")
        return cut(reply, 4, 5);
    return millisecondsText(reply);
}

QString TimeDisplay::lengthText(const QString& deviceType, const QString& reply)
{
    if (isError(reply))
        return QStringLiteral("88:88");
    if (deviceType == "cdaudio")
        return reply.left(5);
    if (deviceType == "sequencer")
        return cut(reply, 4, 5);
    return millisecondsText(reply);
}

void TimeDisplay::ShowPosition(const QString& positionReply)
{
    const PlayerState& s = ctx_.state;
    LedLabel* label = form_.lblTime;
    label->setCaption(positionText(s.CurDeviceType, s.OptTimeType, positionReply, label->caption()));
}

void TimeDisplay::ShowTotalLength()
{
    const PlayerState& s = ctx_.state;
    const QString& type = s.CurDeviceType;
    QString format;
    if (type == "cdaudio")
        format = s.OptTimeType == "SINGLE TIME" ? "tmsf" : "msf";
    else if (type == "avivideo" || type == "waveaudio")
        format = "ms";
    else if (type == "sequencer")
        format = "smpte 24";
    else
        return;
    ctx_.mci.MciSetTimeFormat(format, s.MciAlias);
    const QString reply = ctx_.mci.MciStatus("status " + s.MciAlias + " length");
    form_.lblAllTime->setCaption(lengthText(type, reply));
}

void TimeDisplay::ResetTitleFont()
{
    PictureBox* strip = form_.picCenter;
    const QString& ext = ctx_.state.TitleFontExt;
    strip->setBackColor(0xFFFF00);
    strip->setForeColor(0);
    strip->setFontSize(9);
    strip->setFontName(QStringLiteral("Times New Roman"));
    strip->setFontBold(ext.mid(0, 1) == "1");
    strip->setFontItalic(ext.mid(1, 1) == "1");
    strip->setFontStrikethru(ext.mid(2, 1) == "1");
    strip->setFontUnderline(ext.mid(3, 1) == "1");
    form_.picFrame->setBackColor(0xFFFF00);
    form_.picFrame->setForeColor(0);
}

void TimeDisplay::ApplyCdTitleFont()
{
    const PlayerState& s = ctx_.state;
    PictureBox* strip = form_.picCenter;
    if (s.CdAlbumTitle.isEmpty()) {
        strip->setFontSize(9);
        strip->setFontName(QStringLiteral("Times New Roman"));
        return;
    }
    const auto size = kb::numtext::toInt32(s.TitleFontSize);
    if (size)
        strip->setFontSize(*size);
    strip->setFontName(s.TitleFontName);
    strip->setFontBold(s.TitleFontExt.mid(0, 1) == "1");
    strip->setFontItalic(s.TitleFontExt.mid(1, 1) == "1");
    strip->setFontStrikethru(s.TitleFontExt.mid(2, 1) == "1");
    strip->setFontUnderline(s.TitleFontExt.mid(3, 1) == "1");
}

void TimeDisplay::RotateTitles(int track)
{
    PlayerState& s = ctx_.state;
    if (s.CdAlbumTitle.isEmpty())
        return;
    ++s.TitleCycle;
    if (s.TitleCycle <= 4) {
        form_.modes->ShowCenterText(s.CdArtistName);
    } else if (s.TitleCycle <= 8) {
        form_.modes->ShowCenterText(s.CdAlbumTitle);
    } else {
        if (track >= 0 && track < s.TrackTitles.size())
            form_.modes->ShowCenterText(s.TrackTitles[track]);
        if (s.TitleCycle > 12)
            s.TitleCycle = 0;
    }
}

void TimeDisplay::timScroll_Timer()
{
    PictureBox* strip = form_.picCenter;
    strip->setLeft(strip->Left() - 100);
    if (strip->Left() <= -strip->Width())
        strip->setLeft(form_.picFrame->Width());
    QCoreApplication::processEvents();
}
