#include "titles/TitleStore.h"

#include "app/AppContext.h"
#include "app/NumberText.h"

#include <cmath>
#include <limits>

namespace {

QString trimmedOr(const QString& value, const QString& fallback)
{
    const QString t = value.trimmed();
    return t.isEmpty() ? fallback : t;
}

} // namespace

int TitleStore::trackCountOf(const QString& text)
{
    const auto n = kb::numtext::toInt32(text);
    return n && *n > 0 ? *n : 0;
}

QString TitleStore::keyFromIdentity(const QString& reply)
{
    bool ok = false;
    const QString t = reply.trimmed();
    qint64 v = t.toLongLong(&ok);
    if (!ok) {
        const double d = t.toDouble(&ok);
        if (!ok || !std::isfinite(d) || std::abs(d) > 4.0e18)
            return {};
        v = qint64(std::llround(d));
    }
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return {};
    return QString::number(uint32_t(int32_t(v)), 16).toUpper();
}

TitleStore::TitleStore(AppContext& ctx) : state_(ctx.state), settings_(ctx.settings), mci_(&ctx.mci) {}

QString TitleStore::GetCdIdentityKey()
{
    if (!mci_ || mci_->MciGetIdentity(state_.MciAlias) != 0)
        return {};
    return keyFromIdentity(state_.LastMciText);
}

void TitleStore::LoadCdTitles(const QString& section)
{
    PlayerState& s = state_;
    const Settings& ini = settings_;
    s.CdAlbumTitle = ini.ReadIni(section, "AlbumTitle").trimmed();
    s.CdArtistName = ini.ReadIni(section, "NameOfArtist").trimmed();
    s.TrackTitles = QStringList{QString()};
    const int n = trackCountOf(s.TrackCount);
    for (int i = 1; i <= n; ++i)
        s.TrackTitles.append(ini.ReadIni(section, "TitleOfTrack" + QString::number(i)).trimmed());
    s.TitleFontSize = trimmedOr(ini.ReadIni(section, "FontSize"), "9");
    s.TitleFontName = trimmedOr(ini.ReadIni(section, "FontName"), "Times New Roman");
    s.TitleFontExt = trimmedOr(ini.ReadIni(section, "FontExt"), "0000");
}

void TitleStore::SaveCdTitles(const QString& section)
{
    const PlayerState& s = state_;
    const Settings& ini = settings_;
    // One replace of the file for the whole record: never half a record after a crash.
    Settings::Transaction record(ini);
    ini.WriteIni(section, "AlbumTitle", s.CdAlbumTitle);
    ini.WriteIni(section, "NameOfArtist", s.CdArtistName);
    const int n = trackCountOf(s.TrackCount);
    for (int i = 1; i <= n && i < s.TrackTitles.size(); ++i)
        ini.WriteIni(section, "TitleOfTrack" + QString::number(i), s.TrackTitles[i]);
    ini.WriteIni(section, "FontSize", s.TitleFontSize);
    ini.WriteIni(section, "FontName", s.TitleFontName);
    ini.WriteIni(section, "FontExt", s.TitleFontExt);
    record.commit();
}
