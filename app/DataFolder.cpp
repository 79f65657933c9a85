#include "app/DataFolder.h"

#include <QDir>
#include <QFileInfo>

#ifndef KB_DATA_FROM_BIN
#define KB_DATA_FROM_BIN "../share/kobaltune"
#endif

namespace kb::app {

namespace {

const QString kManual = QStringLiteral("KOBALTUNE.HLP");

QString withSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString installedFolder(const QString& programFolder)
{
    return withSlash(QDir::cleanPath(withSlash(programFolder) + QStringLiteral(KB_DATA_FROM_BIN)));
}

} // namespace

bool IsInstalledLayout(const QString& programFolder)
{
    return !QFileInfo::exists(withSlash(programFolder) + kManual)
           && QFileInfo::exists(installedFolder(programFolder) + kManual);
}

QString DataFolder(const QString& programFolder)
{
    return IsInstalledLayout(programFolder) ? installedFolder(programFolder) : withSlash(programFolder);
}

} // namespace kb::app
