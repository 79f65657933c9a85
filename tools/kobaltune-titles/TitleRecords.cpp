#include "tools/kobaltune-titles/TitleRecords.h"

#include "app/Settings.h"
#include "platform/profile/IniDocument.h"
#include "platform/profile/ProfileFile.h"

#include <QFile>
#include <QRegularExpression>

namespace kb::titles {

namespace {

// Far beyond any settings file: 99 titles of a few hundred bytes for thousands of discs.
constexpr qint64 kMaxTextBytes = 64 * 1024 * 1024;

} // namespace

bool isDiscKey(const QString& name)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,8}$"));
    return hex.match(name).hasMatch();
}

bool isRecordKey(const QString& key)
{
    static const QRegularExpression track(QStringLiteral("^TitleOfTrack[1-9][0-9]{0,2}$"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const char* k : {"AlbumTitle", "NameOfArtist", "FontSize", "FontName", "FontExt"}) {
        if (key.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
            return true;
    }
    return track.match(key).hasMatch();
}

ParsedRecords parseRecords(const QByteArray& text)
{
    ParsedRecords parsed;
    if (text.size() > kMaxTextBytes) {
        parsed.error = QStringLiteral("the text is larger than any settings file");
        return parsed;
    }
    const profile::IniDocument doc(text);
    for (const QString& section : doc.sectionNames()) {
        if (!isDiscKey(section))
            continue;
        Record record{section.toUpper(), {}};
        for (const QString& key : doc.keyNames(section)) {
            if (!isRecordKey(key))
                continue;
            const bool repeated = std::any_of(record.values.begin(), record.values.end(), [&](const auto& kv) {
                return kv.first.compare(key, Qt::CaseInsensitive) == 0;
            });
            if (!repeated)
                record.values.emplace_back(key, doc.value(section, key).value_or(QString()));
        }
        parsed.records.push_back(std::move(record));
    }
    parsed.ok = true;
    return parsed;
}

QByteArray formatRecords(const std::vector<Record>& records)
{
    QByteArray out = "; Kobaltune CD titles\n";
    for (const Record& r : records) {
        out += "\n[" + r.key.toUtf8() + "]\n";
        for (const auto& [key, value] : r.values)
            out += key.toUtf8() + '=' + value.toUtf8() + '\n';
    }
    return out;
}

bool hasTitles(const Record& record)
{
    for (const auto& [key, value] : record.values) {
        const bool title = !key.startsWith(QLatin1String("Font"), Qt::CaseInsensitive);
        if (title && !value.trimmed().isEmpty())
            return true;
    }
    return false;
}

ParsedRecords readRecords(const Settings& settings)
{
    // Only a regular file is read: a FIFO under the name would block the tool.
    const profile::ProfileFile file = profile::ProfileFile::read(settings.filePath());
    if (file.kind == profile::ProfileFile::Kind::Missing)
        return {true, {}, {}};
    if (file.kind != profile::ProfileFile::Kind::Regular)
        return {false, {}, settings.filePath() + ' ' + file.problem()};
    return parseRecords(file.bytes);
}

bool writeRecord(const Settings& settings, const Record& record)
{
    bool ok = true;
    Settings::Transaction whole(settings);
    for (const auto& [key, value] : record.values)
        ok = settings.WriteIni(record.key, key, value) != 0 && ok;
    return whole.commit() && ok;
}

} // namespace kb::titles
