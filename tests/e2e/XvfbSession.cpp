#include "XvfbSession.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QThread>

#include <chrono>
#include <thread>
#include <unistd.h>

namespace kbtest {

XvfbSession::XvfbSession()
{
    const int base = 60 + int(::getpid() % 200);
    for (int n = base; n < base + 40; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        server_.setProgram(QStringLiteral("Xvfb"));
        server_.setArguments({QStringLiteral(":%1").arg(n), "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start();
        if (!server_.waitForStarted(3000))
            return;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (waitUntil([&] { return QFile::exists(socket) || server_.state() != QProcess::Running; }, 5000)
            && server_.state() == QProcess::Running) {
            display_ = n;
            return;
        }
        server_.kill();
        server_.waitForFinished(2000);
    }
}

XvfbSession::~XvfbSession()
{
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(3000)) {
            server_.kill();
            server_.waitForFinished(2000);
        }
    }
}

int runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env, QString* output)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted(5000) || !p.waitForFinished(10000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
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
