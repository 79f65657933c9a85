#include "platform/shell/DesktopApps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QTextStream>

namespace kb::shell {

namespace {

using Groups = QHash<QString, QHash<QString, QString>>;

// The key=value lines of an XDG ini-style file by group; localised keys are left out.
Groups readGroups(const QString& path)
{
    Groups groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > (1 << 20))
        return groups;
    QTextStream in(&file);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (!key.contains(u'['))
            groups[group].insert(key, line.mid(eq + 1).trimmed());
    }
    return groups;
}

QStringList desktopIds(const QString& list) { return list.split(u';', Qt::SkipEmptyParts); }

QStringList dataDirs() { return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation); }

// The desktop entry of an id ("foo-bar.desktop" may also live at foo/bar.desktop).
std::optional<DesktopApp> loadEntry(const QString& id)
{
    QStringList names{id};
    if (id.contains(u'-'))
        names << QString(id).replace(u'-', u'/');
    for (const QString& dir : dataDirs()) {
        for (const QString& name : names) {
            const QString path = dir + "/applications/" + name;
            if (!QFileInfo::exists(path))
                continue;
            const auto entry = readGroups(path).value(QStringLiteral("Desktop Entry"));
            // The first entry found for an id hides the others, usable or not.
            if (entry.value("Hidden") == "true" || entry.value("Exec").isEmpty()
                || entry.value("Type", "Application") != "Application")
                return std::nullopt;
            return DesktopApp{id, entry.value("Exec"), entry.value("Icon")};
        }
    }
    return std::nullopt;
}

// mimeapps.list files, most important first.
QStringList mimeAppsLists()
{
    QStringList desktops;
    for (const QString& d : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops << d.toLower() + "-mimeapps.list";
    desktops << QStringLiteral("mimeapps.list");
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        for (const QString& name : desktops)
            files << dir + '/' + name;
    }
    for (const QString& dir : dataDirs()) {
        for (const QString& name : desktops)
            files << dir + "/applications/" + name;
    }
    return files;
}

// The applications that say they open `type`, from the cache of each data folder or, where
// it has none, from the entries themselves.
QStringList declaringApps(const QString& type)
{
    QStringList ids;
    for (const QString& dir : dataDirs()) {
        const QString apps = dir + "/applications";
        const QString cache = apps + "/mimeinfo.cache";
        if (QFileInfo::exists(cache)) {
            ids << desktopIds(readGroups(cache).value("MIME Cache").value(type));
            continue;
        }
        const QFileInfoList entries = QDir(apps).entryInfoList({"*.desktop"}, QDir::Files, QDir::Name);
        for (const QFileInfo& e : entries) {
            const QStringList types = desktopIds(readGroups(e.filePath()).value("Desktop Entry").value("MimeType"));
            if (types.contains(type))
                ids << e.fileName();
        }
    }
    return ids;
}

// Outside a desktop session Qt looks for icon themes in its resources only: add the XDG icon
// folders, and Adwaita (hicolor behind it) when no theme is chosen.
void useDesktopIconThemes()
{
    QStringList paths = QIcon::themeSearchPaths();
    const qsizetype before = paths.size();
    QStringList folders{QDir::homePath() + "/.icons"};
    for (const QString& dir : dataDirs())
        folders << dir + "/icons";
    for (const QString& folder : folders) {
        if (!paths.contains(folder) && QFileInfo(folder).isDir())
            paths << folder;
    }
    if (paths.size() != before)
        QIcon::setThemeSearchPaths(paths);
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

} // namespace

std::optional<DesktopApp> defaultApplication(const QStringList& mimeTypes)
{
    QList<Groups> lists;
    for (const QString& file : mimeAppsLists()) {
        if (QFileInfo::exists(file))
            lists << readGroups(file);
    }
    for (const QString& type : mimeTypes) {
        for (const Groups& list : lists) {
            for (const QString& id : desktopIds(list.value("Default Applications").value(type))) {
                if (auto app = loadEntry(id))
                    return app;
            }
        }
        QStringList removed;
        QStringList candidates;
        for (const Groups& list : lists) {
            removed << desktopIds(list.value("Removed Associations").value(type));
            candidates << desktopIds(list.value("Added Associations").value(type));
        }
        candidates << declaringApps(type);
        for (const QString& id : candidates) {
            if (removed.contains(id))
                continue;
            if (auto app = loadEntry(id))
                return app;
        }
    }
    return std::nullopt;
}

QIcon themeIcon(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (QDir::isAbsolutePath(name))
        return QFileInfo::exists(name) ? QIcon(name) : QIcon();
    useDesktopIconThemes();
    return QIcon::fromTheme(name);
}

} // namespace kb::shell
