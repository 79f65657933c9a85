// The INI store on hostile files. Oracles: a file read and written back unedited is the same
// bytes; the quick lookup and the document agree; an edit reads back as written and leaves
// every other lookup as it was; what an edit writes reads back to the same bytes again.
#include "platform/profile/IniDocument.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

using kb::profile::IniDocument;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// Names to look up: a few fixed ones and fragments of the input itself.
QStringList candidateNames(const QByteArray& bytes)
{
    QStringList names{"Option", "Temae", "View", "", "1A2B"};
    for (const QByteArray& piece : bytes.split('\n')) {
        for (const QByteArray& part : piece.split('=')) {
            QByteArray name = part.trimmed();
            if (name.startsWith('['))
                name = name.mid(1, name.indexOf(']') < 0 ? -1 : name.indexOf(']') - 1);
            if (name.size() <= 24 && names.size() < 8)
                names << QString::fromUtf8(name);
        }
    }
    return names;
}

QString safeValue(const QByteArray& bytes)
{
    QString v;
    for (const char c : bytes.left(12))
        v += QChar(u"abcXYZ019_.-"[static_cast<unsigned char>(c) % 12]);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniDocument doc(bytes);
    check(doc.bytes() == bytes);

    const QStringList names = candidateNames(bytes);
    for (const QString& s : names) {
        for (const QString& k : names)
            check(IniDocument::find(bytes, s, k) == doc.value(s, k));
    }

    const QString section = names.value(static_cast<int>(size % static_cast<size_t>(names.size())));
    const QString key = names.value(static_cast<int>((size / 3) % static_cast<size_t>(names.size())));
    const QString value = safeValue(bytes);
    IniDocument edited(bytes);
    if (edited.setValue(section, key, value)) {
        const QByteArray written = edited.bytes();
        const IniDocument reread(written);
        check(reread.bytes() == written);
        check(reread.value(section, key) == value);
        for (const QString& s : names) {
            for (const QString& k : names) {
                const bool same = s.trimmed().compare(section.trimmed(), Qt::CaseInsensitive) == 0
                    && k.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
                if (!same)
                    check(reread.value(s, k) == doc.value(s, k));
            }
        }
    }
    IniDocument removed(bytes);
    removed.removeKey(section, key);
    removed.removeSection(key);
    check(IniDocument(removed.bytes()).bytes() == removed.bytes());
    return 0;
}
