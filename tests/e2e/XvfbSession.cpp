#include "XvfbSession.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QThread>

#include <chrono>
#include <thread>
#include <unistd.h>

namespace kbtest {

bool preparePlayerFolder(const TempDir& dir, const QString& built, const XvfbSession& xvfb, ChildEnv& env)
{
    if (!QFile::copy(built, dir.file(QStringLiteral("kobaltune"))))
        return false;
    for (const char* d : {"config", "runtime", "media"})
        QDir(dir.path()).mkpath(QString::fromLatin1(d));
    QFile::setPermissions(dir.file(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.set = {{"DISPLAY", xvfb.display().toStdString()},
               {"XDG_CONFIG_HOME", dir.fileUtf8(QStringLiteral("config"))},
               {"XDG_RUNTIME_DIR", dir.fileUtf8(QStringLiteral("runtime"))},
               {"KOBALTUNE_AUDIO", "capture:" + dir.fileUtf8(QStringLiteral("capture.wav"))},
               {"KOBALTUNE_INSPECT", dir.fileUtf8(QStringLiteral("panel.json"))}};
    env.unset = {"QT_QPA_PLATFORM"};
    return true;
}

XvfbSession::XvfbSession()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return;
    const int base = 60 + int(::getpid() % 200);
    for (int n = base; n < base + 40; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        Child server;
        if (!server.start(xvfb, {QStringLiteral(":%1").arg(n), "-screen", "0", "1024x768x24", "-nolisten", "tcp"}))
            return;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (waitUntil([&] { return QFile::exists(socket) || !server.running(); }, 5000) && server.running()) {
            display_ = n;
            server_ = std::move(server);
            return;
        }
    }
}

XvfbSession::~XvfbSession()
{
    server_.signal(SIGTERM);
    server_.wait(3000);
}

int runTool(const QString& program, const QStringList& args, const ChildEnv& env, QString* output)
{
    const QString path = program.contains('/') ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return -1;
    const ChildRun run = runChildWithEnv(path, args, {}, env, {}, 10000);
    if (output)
        *output = QString::fromLocal8Bit(run.out);
    return run.exitCode;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

QJsonObject readJson(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

int readOutSeconds(const QString& text)
{
    const QStringList parts = text.split(':');
    bool okM = false, okS = false;
    if (parts.size() != 2)
        return -1;
    const int m = parts[0].toInt(&okM);
    const int s = parts[1].toInt(&okS);
    return okM && okS ? m * 60 + s : -1;
}

} // namespace kbtest
