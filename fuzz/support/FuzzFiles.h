#pragma once

// Fuzz inputs as files: the parsers under test read paths.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace kbfuzz {

// A private folder for the whole run.
inline const QTemporaryDir& workDir()
{
    static const auto dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/kobaltune-fuzz-XXXXXX");
    return *dir;
}

// Writes the input to `name` in the work folder; its full path, "" when it cannot be written.
inline QString writeInput(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = workDir().filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    if (f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        return {};
    return path;
}

} // namespace kbfuzz
