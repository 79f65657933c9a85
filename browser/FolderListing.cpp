#include "browser/FolderListing.h"

#include "browser/FileTypes.h"
#include "browser/PathNames.h"
#include "platform/files/FolderReader.h"

#include <QLocale>

#include <algorithm>
#include <ctime>
#include <string_view>

namespace kb::browser {

namespace {

struct Candidate {
    const kb::files::FolderEntry* entry;
    qsizetype keyAt; // the upper-cased name in the pass's key buffer
    qsizetype keySize;
};

// Appends the name upper-cased to `keys`; ASCII names (most of them) without a copy of their own.
void appendUpperKey(QString& keys, const QString& name)
{
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            keys += name.toUpper();
            return;
        }
    }
    for (const QChar c : name)
        keys += c >= u'a' && c <= u'z' ? QChar(c.unicode() - 0x20) : c;
}

// Local times of one minute share everything but their seconds, and the files of one folder
// were often written within a minute of each other: one conversion serves them all.
class LocalTimes {
public:
    bool toLocal(int64_t secondsSinceEpoch, std::tm& out)
    {
        const int64_t minute = secondsSinceEpoch >= 0 ? secondsSinceEpoch / 60 : -1;
        if (minute < 0 || minute != minute_) {
            const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
            if (!localtime_r(&t, &tm_))
                return false;
            minute_ = minute;
            second_ = tm_.tm_sec - int(secondsSinceEpoch % 60);
        }
        out = tm_;
        out.tm_sec = second_ + int(secondsSinceEpoch % 60);
        return true;
    }

private:
    int64_t minute_ = -1;
    int second_ = 0;
    std::tm tm_{};
};

// Whether `ext` (with its dot) is exactly the extension of `name`, letter case aside.
bool hasExtension(const QString& name, const QString& ext)
{
    const qsizetype dot = name.size() - ext.size();
    return dot >= 0 && name.lastIndexOf(u'.') == dot && QStringView(name).mid(dot).compare(ext, Qt::CaseInsensitive) == 0;
}

void putDigits(char*& out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = char('0' + value % 10);
    out += width;
}

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
    // Digits from the right, a separator before every third.
    QChar text[32];
    qsizetype at = 32;
    uint64_t rest = size < 0 ? uint64_t(0) - uint64_t(size) : uint64_t(size);
    for (int digit = 0; rest > 0 || digit == 0; ++digit, rest /= 10) {
        if (digit > 0 && digit % 3 == 0)
            text[--at] = separator;
        text[--at] = QChar(u'0' + int(rest % 10));
    }
    if (size < 0)
        text[--at] = u'-';
    return QString(text + at, 32 - at);
}

namespace {

QString listDate(const std::tm& local)
{
    char text[17];
    char* out = text;
    const int parts[6] = {(local.tm_year + 1900) % 100, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour, local.tm_min, local.tm_sec};
    const char after[6] = {'/', '/', ' ', ':', ':', 0};
    for (int i = 0; i < 6; ++i) {
        putDigits(out, parts[i], 2);
        if (after[i])
            *out++ = after[i];
    }
    return QString::fromLatin1(text, out - text);
}

} // namespace

QString listDate(int64_t secondsSinceEpoch)
{
    const std::time_t t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return {};
    return listDate(local);
}

std::vector<FileRow> readFolderRows(const QString& folder, const QStringList& patterns, FileTypes& types)
{
    std::vector<FileRow> rows;
    if (patterns.isEmpty())
        return rows;
    const kb::files::FolderReader reader(folder);
    const std::vector<kb::files::FolderEntry> entries = reader.entries();
    const QString groupText = QLocale::system().groupSeparator();
    const QChar separator = groupText.isEmpty() ? QChar(u',') : groupText[0];
    LocalTimes times;
    for (const QString& pattern : patterns) {
        // A name belongs to the pattern whose extension is exactly its own, so ".mp2v" files
        // are listed once, in their own pass and not in the "*.mp2" one.
        const QString wanted = GetExtension(pattern);
        std::vector<Candidate> matched;
        QString keys;
        for (const kb::files::FolderEntry& e : entries) {
            if (!hasExtension(e.name, wanted))
                continue;
            const qsizetype at = keys.size();
            appendUpperKey(keys, e.name);
            matched.push_back({&e, at, keys.size() - at});
        }
        const auto* units = reinterpret_cast<const char16_t*>(keys.utf16());
        const auto key = [units](const Candidate& c) {
            return std::u16string_view(units + c.keyAt, size_t(c.keySize));
        };
        std::sort(matched.begin(), matched.end(), [&](const Candidate& a, const Candidate& b) {
            const int byUpper = key(a).compare(key(b));
            return byUpper != 0 ? byUpper < 0 : a.entry->name < b.entry->name;
        });
        for (const Candidate& c : matched) {
            const kb::files::FolderEntry& e = *c.entry;
            const kb::files::FileFacts facts = reader.facts(e);
            if (facts.isFolder)
                continue;
            FileRow row;
            row.name = e.name;
            row.path = folder + e.name;
            if (facts.exists && facts.readable) {
                row.size = groupedSize(facts.size, separator);
                row.type = types.GetFileTypeName(GetExtension(e.name));
                std::tm local{};
                if (times.toLocal(facts.modified, local))
                    row.modified = listDate(local);
                row.attributes = attributeLetters(e.name, facts);
            }
            row.dosName = !e.shortName.isEmpty() ? e.shortName : kb::files::validShortName(e.name);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

} // namespace kb::browser
