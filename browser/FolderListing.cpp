#include "browser/FolderListing.h"

#include "browser/FileTypes.h"
#include "browser/PathNames.h"
#include "platform/files/FolderReader.h"

#include <QLocale>

#include <algorithm>
#include <ctime>

namespace kb::browser {

namespace {

struct Candidate {
    const kb::files::FolderEntry* entry;
    QString upperName;
    QString upperExt;
};

QString attributeLetters(const QString& name, const kb::files::FileFacts& f)
{
    using namespace kb::files::dosattr;
    QString letters;
    if (f.dosAttributes & System)
        letters += u'S';
    if ((f.dosAttributes & Hidden) || name.startsWith(u'.'))
        letters += u'H';
    if ((f.dosAttributes & ReadOnly) || !f.writable)
        letters += u'R';
    if (f.dosAttributes & Archive)
        letters += u'A';
    return letters;
}

} // namespace

QStringList modePatterns(const QString& mode)
{
    if (mode == "VIDEO")
        return {"*.avi", "*.mpeg", "*.mpg", "*.mpe", "*.mpv", "*.m1v", "*.mp2", "*.mpv2", "*.mp2v", "*.mpa"};
    if (mode == "WAVE")
        return {"*.wav"};
    if (mode == "MIDI")
        return {"*.mid", "*.midi", "*.rmi"};
    if (mode == "MP3")
        return {"*.mp3", "*.m3u"};
    return {};
}

QString groupedSize(int64_t size, QChar separator)
{
    if (size == 0)
        return {};
    const bool negative = size < 0;
    const QString digits = QString::number(size).remove(u'-');
    QString out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return negative ? u'-' + out : out;
}

QString listDate(int64_t secondsSinceEpoch)
{
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d:%02d", (local.tm_year + 1900) % 100,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text);
}

std::vector<FileRow> readFolderRows(const QString& folder, const QStringList& patterns, FileTypes& types)
{
    std::vector<FileRow> rows;
    if (patterns.isEmpty())
        return rows;
    const kb::files::FolderReader reader(folder);
    const std::vector<kb::files::FolderEntry> entries = reader.entries();
    std::vector<Candidate> candidates;
    candidates.reserve(entries.size());
    for (const auto& e : entries)
        candidates.push_back({&e, e.name.toUpper(), GetExtension(e.name).toUpper()});

    const QString groupText = QLocale::system().groupSeparator();
    const QChar separator = groupText.isEmpty() ? QChar(u',') : groupText[0];
    for (const QString& pattern : patterns) {
        // A name belongs to the pattern whose extension is exactly its own, so ".mp2v" files
        // are listed once, in their own pass and not in the "*.mp2" one.
        const QString wanted = GetExtension(pattern).toUpper();
        std::vector<const Candidate*> matched;
        for (const Candidate& c : candidates) {
            if (c.upperExt == wanted)
                matched.push_back(&c);
        }
        std::sort(matched.begin(), matched.end(), [](const Candidate* a, const Candidate* b) {
            const int byUpper = QString::compare(a->upperName, b->upperName, Qt::CaseSensitive);
            return byUpper != 0 ? byUpper < 0 : a->entry->name < b->entry->name;
        });
        for (const Candidate* c : matched) {
            const kb::files::FolderEntry& e = *c->entry;
            const kb::files::FileFacts facts = reader.facts(e);
            if (facts.isFolder)
                continue;
            FileRow row;
            row.name = e.name;
            row.path = folder + e.name;
            if (facts.exists && facts.readable) {
                row.size = groupedSize(facts.size, separator);
                row.type = types.GetFileTypeName(GetExtension(e.name));
                row.modified = listDate(facts.modified);
                row.attributes = attributeLetters(e.name, facts);
            }
            row.dosName = !e.shortName.isEmpty() ? e.shortName : kb::files::validShortName(e.name);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

} // namespace kb::browser
