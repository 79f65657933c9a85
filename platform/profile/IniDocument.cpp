#include "platform/profile/IniDocument.h"

#include <algorithm>

namespace kb::profile {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArrayView trimBlanks(QByteArrayView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// The section name of a header line ("[ name ]"), or nullopt for any other line.
std::optional<QByteArrayView> headerName(QByteArrayView line)
{
    const QByteArrayView t = trimBlanks(line);
    if (t.isEmpty() || t[0] != '[')
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    return trimBlanks(close < 0 ? t.sliced(1) : t.sliced(1, close - 1));
}

// The key name of a "key=value" line, or nullopt for a line that is no key (comments
// starting with ';' included).
std::optional<QByteArrayView> keyName(QByteArrayView line)
{
    const QByteArrayView t = trimBlanks(line);
    if (!t.isEmpty() && t[0] == ';')
        return std::nullopt;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return trimBlanks(line.first(eq));
}

bool isAscii(QByteArrayView s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// wanted is the caller's name already trimmed and in UTF-8.
bool sameName(QByteArrayView stored, const QByteArray& wanted)
{
    if (isAscii(stored) && isAscii(wanted))
        return stored.size() == wanted.size() && qstrnicmp(stored.data(), stored.size(),
                                                           wanted.data(), wanted.size()) == 0;
    return QString::fromUtf8(stored).compare(QString::fromUtf8(wanted), Qt::CaseInsensitive) == 0;
}

QByteArray wantedName(const QString& name) { return name.trimmed().toUtf8(); }

QByteArray oneLine(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s.toUtf8();
}

bool holdsLineBreak(const QString& s)
{
    return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

QByteArrayView withoutBomAndNuls(QByteArrayView data)
{
    while (data.endsWith('\0'))
        data.chop(1);
    return data.startsWith("\xEF\xBB\xBF") ? data.sliced(3) : data;
}

QString valueText(QByteArrayView line)
{
    QByteArrayView v = trimBlanks(line.sliced(line.indexOf('=') + 1));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.sliced(1, v.size() - 2);
    return QString::fromUtf8(v);
}

} // namespace

std::optional<QString> IniDocument::find(const QByteArray& bytes, const QString& section,
                                         const QString& key)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return IniDocument(bytes).value(section, key);
    const QByteArrayView data = withoutBomAndNuls(bytes);
    const QByteArray wantedSection = wantedName(section);
    const QByteArray wantedKey = wantedName(key);
    const char* p = data.data();
    const qsizetype n = data.size();
    bool inSection = false;
    bool sectionSeen = false;
    for (qsizetype pos = 0; pos < n;) {
        qsizetype i = pos;
        while (i < n && p[i] != '\r' && p[i] != '\n')
            ++i;
        const QByteArrayView line(p + pos, i - pos);
        pos = (i < n && p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? i + 2 : i + 1;
        if (const auto header = headerName(line)) {
            // Only the first section of a name counts.
            if (inSection)
                return std::nullopt;
            inSection = !sectionSeen && sameName(*header, wantedSection);
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto name = keyName(line); name && sameName(*name, wantedKey))
            return valueText(line);
    }
    return std::nullopt;
}

IniDocument::IniDocument(const QByteArray& bytes) : frame_(IniText::split(bytes))
{
    const QByteArray& data = frame_.text;
    const char* p = data.data();
    const qsizetype n = data.size();
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype i = pos;
        while (i < n && p[i] != '\r' && p[i] != '\n')
            ++i;
        Line line{QByteArray(p + pos, i - pos), {}};
        if (i < n) {
            const qsizetype endLen = (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            line.end = QByteArray(p + i, endLen);
            i += endLen;
        }
        lines_.push_back(std::move(line));
        pos = i;
    }
    frame_.text.clear(); // the lines hold it now
}

QByteArray IniDocument::bytes() const
{
    IniText out = frame_;
    out.text.clear();
    for (const auto& line : lines_)
        out.text += line.text + line.end;
    return out.join();
}

std::optional<IniDocument::Range> IniDocument::findSection(const QString& section) const
{
    const QByteArray wanted = wantedName(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = headerName(lines_[i].text);
        if (!name || !sameName(*name, wanted))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !headerName(lines_[end].text))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const Range& range, const QString& key) const
{
    const QByteArray wanted = wantedName(key);
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto name = keyName(lines_[i].text);
        if (name && sameName(*name, wanted))
            return i;
    }
    return std::nullopt;
}

std::vector<QString> IniDocument::sectionNames() const
{
    std::vector<QString> names;
    for (const auto& line : lines_) {
        const auto name = headerName(line.text);
        if (!name)
            continue;
        const QByteArray wanted = name->toByteArray();
        const bool seen = std::any_of(names.begin(), names.end(),
                                      [&](const QString& n) { return sameName(n.toUtf8(), wanted); });
        if (!seen)
            names.push_back(QString::fromUtf8(*name));
    }
    return names;
}

std::vector<QString> IniDocument::keyNames(const QString& section) const
{
    std::vector<QString> names;
    const auto range = findSection(section);
    if (!range)
        return names;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (const auto name = keyName(lines_[i].text); name && !name->isEmpty())
            names.push_back(QString::fromUtf8(*name));
    }
    return names;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto at = findKey(*range, key);
    if (!at)
        return std::nullopt;
    return valueText(lines_[*at].text);
}

QByteArray IniDocument::newLineEnd() const
{
    // Follow the file's own line end when all its lines agree; CRLF otherwise.
    QByteArray seen;
    for (const auto& line : lines_) {
        if (line.end.isEmpty())
            continue;
        if (seen.isEmpty())
            seen = line.end;
        else if (seen != line.end)
            return "\r\n";
    }
    return seen.isEmpty() ? QByteArray("\r\n") : seen;
}

void IniDocument::ensureLastLineEnded()
{
    if (!lines_.empty() && lines_.back().end.isEmpty())
        lines_.back().end = newLineEnd();
}

bool IniDocument::holdsNames(const QString& section, const QString& key)
{
    return !holdsLineBreak(section) && !section.contains(QLatin1Char(']')) && !holdsLineBreak(key) &&
           !key.contains(QLatin1Char('=')) && !key.trimmed().startsWith(QLatin1Char(';')) &&
           !key.trimmed().startsWith(QLatin1Char('['));
}

bool IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    if (!holdsNames(section, key))
        return false;

    const QByteArray v = oneLine(value);
    const QByteArray eol = newLineEnd();
    const auto range = findSection(section);
    if (!range) {
        ensureLastLineEnded();
        lines_.push_back(Line{"[" + section.toUtf8() + "]", eol});
        lines_.push_back(Line{key.toUtf8() + "=" + v, eol});
        return true;
    }
    if (const auto at = findKey(*range, key)) {
        Line& line = lines_[*at];
        line.text = keyName(line.text)->toByteArray() + "=" + v;
        return true;
    }
    std::size_t insertAt = range->header + 1;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        if (keyName(lines_[i].text))
            insertAt = i + 1;
    }
    // The line before the new one may be the file's last, without a line end.
    if (lines_[insertAt - 1].end.isEmpty())
        lines_[insertAt - 1].end = eol;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  Line{key.toUtf8() + "=" + v, eol});
    return true;
}

bool IniDocument::removeKey(const QString& section, const QString& key)
{
    const auto range = findSection(section);
    if (!range)
        return false;
    const auto at = findKey(*range, key);
    if (!at)
        return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
    return true;
}

bool IniDocument::removeSection(const QString& section)
{
    const auto range = findSection(section);
    if (!range)
        return false;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
    return true;
}

} // namespace kb::profile
