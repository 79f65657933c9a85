#include "platform/cdrom/CueSheet.h"

#include "platform/cdrom/DiscToc.h"

#include <QStringDecoder>

#include <optional>

namespace kb::cdrom {

std::string decodeDiscText(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text.toStdString();
    QStringDecoder cp932("CP932");
    if (!cp932.isValid())
        cp932 = QStringDecoder("Shift_JIS");
    return QString(cp932.decode(data)).toStdString();
}

namespace {

// Splits a line into words; "quoted text" is one word without its quotes.
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string w;
        if (line[i] == '"') {
            const size_t end = line.find('"', i + 1);
            w = line.substr(i + 1, (end == std::string::npos ? line.size() : end) - i - 1);
            i = end == std::string::npos ? line.size() : end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                w += line[i++];
        }
        out.push_back(std::move(w));
    }
    return out;
}

std::string upper(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::optional<int> parseNumber(const std::string& s)
{
    if (s.empty() || s.size() > 6)
        return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

// "mm:ss:ff" in frames.
std::optional<int> parseMsf(const std::string& s)
{
    const size_t a = s.find(':');
    const size_t b = a == std::string::npos ? a : s.find(':', a + 1);
    if (b == std::string::npos)
        return std::nullopt;
    const auto m = parseNumber(s.substr(0, a));
    const auto sec = parseNumber(s.substr(a + 1, b - a - 1));
    const auto f = parseNumber(s.substr(b + 1));
    // No CD address has more than 99 minutes.
    if (!m || !sec || !f || *m > 99 || *sec >= 60 || *f >= kFramesPerSecond)
        return std::nullopt;
    return *m * 60 * kFramesPerSecond + *sec * kFramesPerSecond + *f;
}

std::optional<int> sectorSizeOf(const std::string& mode)
{
    if (mode == "AUDIO" || mode == "MODE1/2352" || mode == "MODE2/2352" || mode == "CDI/2352")
        return 2352;
    if (mode == "MODE1/2048")
        return 2048;
    if (mode == "MODE2/2336" || mode == "CDI/2336")
        return 2336;
    if (mode == "CDG")
        return 2448;
    return std::nullopt;
}

} // namespace

bool parseCueSheet(const QByteArray& bytes, CueSheet& out, std::string& error)
{
    out = {};
    if (bytes.contains('\0')) {
        error = "not a CUE sheet (binary data)";
        return false;
    }
    const std::string text = decodeDiscText(bytes);
    size_t pos = 0;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        const std::string key = upper(w[0]);
        CueTrack* track = out.tracks.empty() ? nullptr : &out.tracks.back();
        if (key == "FILE") {
            if (w.size() < 2 || w[1].empty())
                return fail("FILE without a name");
            out.files.push_back({w[1], w.size() > 2 ? upper(w[2]) : "BINARY"});
        } else if (key == "TRACK") {
            if (out.files.empty())
                return fail("TRACK before any FILE");
            if (w.size() < 3)
                return fail("TRACK needs a number and a mode");
            const auto number = parseNumber(w[1]);
            const std::string mode = upper(w[2]);
            const auto size = sectorSizeOf(mode);
            if (!number || *number < 1 || *number > 99)
                return fail("bad track number " + w[1]);
            if (track && *number != track->number + 1)
                return fail("track numbers must follow each other");
            if (!size)
                return fail("unknown track mode " + w[2]);
            if (track && track->indexes.empty())
                return fail("track " + std::to_string(track->number) + " has no INDEX");
            CueTrack t;
            t.number = *number;
            t.mode = mode;
            t.sectorSize = *size;
            t.audio = mode == "AUDIO";
            out.tracks.push_back(std::move(t));
        } else if (key == "INDEX") {
            if (!track)
                return fail("INDEX outside a TRACK");
            if (w.size() < 3)
                return fail("INDEX needs a number and a time");
            const auto number = parseNumber(w[1]);
            const auto frame = parseMsf(w[2]);
            if (!number || *number > 99 || !frame)
                return fail("bad INDEX " + line);
            const int file = static_cast<int>(out.files.size()) - 1;
            if (!track->indexes.empty() && *number <= track->indexes.back().number)
                return fail("INDEX out of order");
            track->indexes.push_back({*number, *frame, file});
        } else if (key == "PREGAP" || key == "POSTGAP") {
            const auto frames = w.size() > 1 ? parseMsf(w[1]) : std::nullopt;
            if (!track || !frames)
                return fail("bad " + key);
            (key == "PREGAP" ? track->pregap : track->postgap) = *frames;
        } else if (key == "TITLE" || key == "PERFORMER") {
            const std::string value = w.size() > 1 ? w[1] : "";
            if (track)
                (key == "TITLE" ? track->title : track->performer) = value;
            else
                (key == "TITLE" ? out.title : out.performer) = value;
        }
        // REM, CATALOG, FLAGS, ISRC, SONGWRITER, CDTEXTFILE: nothing the player shows.
    }
    if (out.tracks.empty())
        return fail("no TRACK");
    for (const CueTrack& t : out.tracks) {
        bool has01 = false;
        for (const CueIndex& i : t.indexes)
            has01 = has01 || i.number == 1;
        if (!has01) {
            error = "track " + std::to_string(t.number) + " has no INDEX 01";
            return false;
        }
    }
    return true;
}

} // namespace kb::cdrom
