#include "platform/shell/SystemInfo.h"

#include "platform/profile/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

#include <optional>

namespace kb::shell {

namespace {

// A desktop entry is a few kilobytes; anything much larger is not one.
constexpr qint64 kMaxEntryBytes = 256 * 1024;
constexpr int kMaxEntries = 20000;

// Programs that show the machine's hardware and state, best first.
const char* const kWellKnown[] = {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor",
                                  "mate-system-monitor", "plasma-systemmonitor", "ksysguard",
                                  "xfce4-taskmanager", "lxtask"};

QString findProgram(const QString& name, const QStringList& pathDirs)
{
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo f(name);
        return f.isAbsolute() && f.isFile() && f.isExecutable() ? name : QString();
    }
    return QStandardPaths::findExecutable(name, pathDirs);
}

QStringList listValue(const QString& value) { return value.split(QLatin1Char(';'), Qt::SkipEmptyParts); }

// The command of one desktop entry when it is a usable system-information program.
QStringList entryCommand(const QString& path, const QStringList& pathDirs)
{
    QFile file(path);
    if (file.size() > kMaxEntryBytes || !file.open(QIODevice::ReadOnly))
        return {};
    const profile::IniDocument entry(file.read(kMaxEntryBytes));
    const QString group = QStringLiteral("Desktop Entry");
    auto value = [&](const char* key) { return entry.value(group, QLatin1String(key)).value_or(QString()); };
    if (value("Type") != QLatin1String("Application") || value("Hidden") == QLatin1String("true"))
        return {};
    const QStringList categories = listValue(value("Categories"));
    if (!categories.contains(QLatin1String("System")) || !categories.contains(QLatin1String("Monitor")))
        return {};
    const QString tryExec = value("TryExec");
    if (!tryExec.isEmpty() && findProgram(tryExec, pathDirs).isEmpty())
        return {};
    QStringList command = desktopExecCommand(value("Exec"));
    if (command.isEmpty())
        return {};
    const QString program = findProgram(command.first(), pathDirs);
    if (program.isEmpty())
        return {};
    command.first() = program;
    return command;
}

// Splits an Exec value into arguments: blanks separate them, double quotes group them with
// backslash escapes inside.
std::optional<QStringList> splitExec(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size()) {
                current += exec[++i];
            } else if (c == u'"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inArg = true;
        } else if (c == u' ' || c == u'\t') {
            if (inArg)
                args << current;
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArg)
        args << current;
    return args;
}

} // namespace

SystemInfoSearch SystemInfoSearch::fromEnvironment()
{
    SystemInfoSearch where;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.local/share");
    where.applicationDirs << home + QStringLiteral("/applications");
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& d : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        where.applicationDirs << d + QStringLiteral("/applications");
    where.pathDirs = qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return where;
}

QStringList desktopExecCommand(const QString& exec)
{
    const auto args = splitExec(exec);
    if (!args)
        return {};
    QStringList command;
    for (const QString& arg : *args) {
        // Field codes stand for files, URLs, the icon and the name: nothing is passed here.
        if (arg.size() == 2 && arg[0] == u'%')
            continue;
        QString a = arg;
        a.replace(QStringLiteral("%%"), QStringLiteral("%"));
        command << a;
    }
    return command;
}

QStringList findSystemInfoProgram(const SystemInfoSearch& where)
{
    QSet<QString> seenIds;
    int examined = 0;
    for (const QString& dir : where.applicationDirs) {
        QDir folder(dir);
        if (!folder.exists())
            continue;
        QStringList names = folder.entryList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Readable,
                                             QDir::Name);
        for (const QString& name : names) {
            // An entry of the same name in an earlier folder hides this one.
            if (seenIds.contains(name) || ++examined > kMaxEntries)
                continue;
            seenIds.insert(name);
            QStringList command = entryCommand(folder.filePath(name), where.pathDirs);
            if (!command.isEmpty())
                return command;
        }
    }
    for (const char* name : kWellKnown) {
        const QString program = findProgram(QString::fromLatin1(name), where.pathDirs);
        if (!program.isEmpty())
            return {program};
    }
    return {};
}

bool startProgram(const QStringList& command)
{
    if (command.isEmpty())
        return false;
    return QProcess::startDetached(command.first(), command.mid(1));
}

} // namespace kb::shell
