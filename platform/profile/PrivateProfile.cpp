#include "platform/profile/PrivateProfile.h"

#include "platform/profile/IniDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>
#include <optional>

namespace kb::profile {

namespace {

// The file's bytes; "" for a missing file, nullopt when it exists but cannot be read.
std::optional<QByteArray> readAll(const QString& path)
{
    QFile f(path);
    if (!f.exists())
        return QByteArray();
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

// Loads the file, applies edit and writes the result back when it changed anything.
bool edit(const QString& path, const std::function<bool(IniDocument&)>& change)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    const auto bytes = readAll(path);
    if (!bytes)
        return false;
    IniDocument doc(*bytes);
    if (!change(doc))
        return false;
    const QByteArray updated = doc.bytes();
    if (updated == *bytes)
        return true;
    return replaceFile(path, updated);
}

QString withoutTrailingBlanks(QString s)
{
    while (!s.isEmpty() && (s.back() == QLatin1Char(' ') || s.back() == QLatin1Char('\t')))
        s.chop(1);
    return s;
}

} // namespace

QString PrivateProfile::getString(const QString& section, const QString& key,
                                  const QString& defaultValue, const QString& file)
{
    const auto bytes = readAll(file);
    if (bytes && !QFileInfo(file).isDir()) {
        if (const auto v = IniDocument::find(*bytes, section, key))
            return *v;
    }
    return withoutTrailingBlanks(defaultValue);
}

bool PrivateProfile::writeString(const QString& section, const QString& key,
                                 const QString& value, const QString& file)
{
    return edit(file, [&](IniDocument& doc) { return doc.setValue(section, key, value); });
}

bool PrivateProfile::deleteKey(const QString& section, const QString& key, const QString& file)
{
    return edit(file, [&](IniDocument& doc) {
        doc.removeKey(section, key);
        return true;
    });
}

bool PrivateProfile::deleteSection(const QString& section, const QString& file)
{
    return edit(file, [&](IniDocument& doc) {
        doc.removeSection(section);
        return true;
    });
}

} // namespace kb::profile
