#pragma once

#include <QByteArray>

namespace kb::profile {

// How an INI file's bytes are laid out around its lines: an optional byte order mark, the
// text in UTF-8 (any bytes) or UTF-16, and padding after the last line (NUL bytes, and for
// UTF-16 an odd last byte) that belongs to no line.
struct IniText {
    enum class Encoding { Utf8, Utf16Le, Utf16Be };

    Encoding encoding = Encoding::Utf8;
    QByteArray bom;   // as found ("" when none)
    QByteArray text;  // the lines; UTF-16 is held as WTF-8 so that even lone surrogates survive
    QByteArray tail;  // padding, in the file's own encoding

    static IniText split(const QByteArray& bytes);
    QByteArray join() const;
};

} // namespace kb::profile
