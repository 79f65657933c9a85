#include "platform/profile/IniText.h"

namespace kb::profile {

namespace {

bool bigEndian(IniText::Encoding e) { return e == IniText::Encoding::Utf16Be; }

char16_t unitAt(const QByteArray& b, qsizetype i, bool be)
{
    const auto hi = static_cast<unsigned char>(b[i + (be ? 0 : 1)]);
    const auto lo = static_cast<unsigned char>(b[i + (be ? 1 : 0)]);
    return static_cast<char16_t>((hi << 8) | lo);
}

void appendUnit(QByteArray& out, char16_t u, bool be)
{
    const auto hi = static_cast<char>(u >> 8);
    const auto lo = static_cast<char>(u & 0xFF);
    out.append(be ? hi : lo);
    out.append(be ? lo : hi);
}

void appendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.append(static_cast<char>(0xC0 | (cp >> 6)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(static_cast<char>(0xE0 | (cp >> 12)));
        out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (cp >> 18)));
        out.append(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16 code units to WTF-8: pairs become one code point, a lone surrogate is kept as
// the three bytes of its own value.
QByteArray toWtf8(const QByteArray& units, bool be)
{
    QByteArray out;
    out.reserve(units.size());
    for (qsizetype i = 0; i + 1 < units.size(); i += 2) {
        const char16_t u = unitAt(units, i, be);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < units.size()) {
            const char16_t next = unitAt(units, i + 2, be);
            if (next >= 0xDC00 && next < 0xE000) {
                appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, u);
    }
    return out;
}

// The way back. Bytes that are no UTF-8 sequence (only an edit could bring them) are kept
// as one code unit each.
QByteArray fromWtf8(const QByteArray& text, bool be)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    const auto* p = reinterpret_cast<const unsigned char*>(text.constData());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool ok = len > 0 && i + len <= n;
        for (int k = 1; ok && k < len; ++k)
            ok = (p[i + k] & 0xC0) == 0x80;
        if (!ok) {
            appendUnit(out, c, be);
            ++i;
            continue;
        }
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (p[i + k] & 0x3F);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            appendUnit(out, static_cast<char16_t>(0xD800 + (cp >> 10)), be);
            appendUnit(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)), be);
        } else {
            appendUnit(out, static_cast<char16_t>(cp), be);
        }
        i += len;
    }
    return out;
}

} // namespace

IniText IniText::split(const QByteArray& bytes)
{
    IniText t;
    QByteArray body;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        t.encoding = bytes.startsWith("\xFF\xFE") ? Encoding::Utf16Le : Encoding::Utf16Be;
        t.bom = bytes.first(2);
        body = bytes.sliced(2);
        qsizetype end = body.size() & ~qsizetype{1};
        while (end >= 2 && body[end - 1] == '\0' && body[end - 2] == '\0')
            end -= 2;
        t.tail = body.sliced(end);
        t.text = toWtf8(body.first(end), bigEndian(t.encoding));
        return t;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        t.bom = bytes.first(3);
    body = bytes.sliced(t.bom.size());
    qsizetype end = body.size();
    while (end > 0 && body[end - 1] == '\0')
        --end;
    t.tail = body.sliced(end);
    t.text = body.first(end);
    return t;
}

QByteArray IniText::join() const
{
    if (encoding == Encoding::Utf8)
        return bom + text + tail;
    return bom + fromWtf8(text, bigEndian(encoding)) + tail;
}

} // namespace kb::profile
