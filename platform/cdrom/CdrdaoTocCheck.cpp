#include "platform/cdrom/CdrdaoTocCheck.h"

#include <QList>

namespace kb::cdrom {

namespace {

constexpr qsizetype kMaxLine = 1000; // libcdio reads lines into fixed buffers
const QList<QByteArray> kTrackModes = {"AUDIO", "MODE0", "MODE1", "MODE1_RAW", "MODE2", "MODE2_FORM1",
                                       "MODE2_FORM2", "MODE2_FORM_MIX", "MODE2_RAW"};

} // namespace

bool checkCdrdaoToc(const QByteArray& text, std::string& why)
{
    if (text.size() > kMaxCdrdaoTocBytes) {
        why = "too large for a table-of-contents file";
        return false;
    }
    qsizetype lineStart = 0;
    int lineNo = 1;
    bool quoted = false;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '\n';
        if (c == '\0' || (static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\r' && c != '\t')) {
            why = "binary data on line " + std::to_string(lineNo);
            return false;
        }
        if (c == '"' && (i == 0 || text[i - 1] != '\\'))
            quoted = !quoted;
        if (c != '\n')
            continue;
        if (i - lineStart > kMaxLine) {
            why = "line " + std::to_string(lineNo) + " is too long";
            return false;
        }
        if (quoted) {
            why = "unbalanced quotes on line " + std::to_string(lineNo);
            return false;
        }
        // libcdio divides by the sector size of a track's mode: a TRACK names a known one.
        const QList<QByteArray> words = text.mid(lineStart, i - lineStart).simplified().split(' ');
        if (words.value(0) == "TRACK" && !kTrackModes.contains(words.value(1))) {
            why = "line " + std::to_string(lineNo) + ": TRACK without a known mode";
            return false;
        }
        lineStart = i + 1;
        ++lineNo;
    }
    return true;
}

} // namespace kb::cdrom
