#include "desktop/FileArguments.h"

#include "browser/FolderListing.h"
#include "browser/PathNames.h"
#include "platform/cdrom/DiscSource.h"

#include <QDir>
#include <QUrl>

namespace kb::desktop {

QString localPath(const QString& argument, const QString& workingFolder)
{
    if (argument.isEmpty())
        return {};
    QString path = argument;
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(argument);
        // "file://localhost/..." names this machine too; any other host is not ours to open.
        const QString host = url.host();
        if (!url.isValid() || !url.isLocalFile()
            || (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0))
            return {};
        path = url.path(QUrl::FullyDecoded);
    } else if (argument.startsWith(QLatin1Char('-')) || argument.contains(QLatin1String("://"))) {
        return {};
    }
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

QStringList localFiles(const QStringList& arguments, const QString& workingFolder)
{
    QStringList files;
    for (const QString& a : arguments) {
        const QString path = localPath(a, workingFolder);
        if (!path.isEmpty())
            files << path;
    }
    return files;
}

QString modeForFile(const QString& path)
{
    const QString ext = kb::browser::GetExtension(path).toLower();
    if (ext.isEmpty())
        return {};
    static const QStringList kFileModes{QStringLiteral("WAVE"), QStringLiteral("MIDI"), QStringLiteral("MP3"),
                                        QStringLiteral("VIDEO")};
    for (const QString& mode : kFileModes) {
        for (const QString& pattern : kb::browser::modePatterns(mode)) {
            if (kb::browser::GetExtension(pattern) == ext)
                return mode;
        }
    }
    if (kb::cdrom::recognizedDiscSource(path.toStdString()))
        return QStringLiteral("CD");
    return {};
}

} // namespace kb::desktop
