#pragma once

// Runs a built tool as a child process for the tests that drive our command-line programs.
//
// QProcess is not used on purpose: Qt 6.4 starts children with clone(CLONE_VM | CLONE_VFORK),
// and ThreadSanitizer's clone interceptor then runs its after-fork bookkeeping inside the
// shared address space, which corrupts the parent's race detector state (every later test of
// the run reports false races). posix_spawn is intercepted without that bookkeeping.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

extern char** environ;

namespace kbtest {

struct ChildRun {
    int exitCode = -1; // -1 when the child did not start or did not exit normally
    QByteArray out;
    QByteArray err;
};

// Runs `program` to its end with `input` as its standard input and `env` set on top of
// this process's environment, in `workDir` when one is given. A child still running after
// `limitMs` is killed (a safety net for a hung tool; the run then reports exit code -1).
inline ChildRun runChild(const QString& program, const QStringList& args, const QByteArray& input = {},
                         const std::vector<std::pair<std::string, std::string>>& env = {},
                         const QString& workDir = {}, int limitMs = 120000)
{
    ChildRun run;
    QTemporaryDir dir;
    const QByteArray in = QFile::encodeName(dir.filePath("in"));
    const QByteArray out = QFile::encodeName(dir.filePath("out"));
    const QByteArray err = QFile::encodeName(dir.filePath("err"));
    {
        QFile f(dir.filePath("in"));
        if (!f.open(QIODevice::WriteOnly) || f.write(input) != input.size())
            return run;
    }

    std::vector<std::string> argStore{QFile::encodeName(program).toStdString()};
    for (const QString& a : args)
        argStore.push_back(a.toLocal8Bit().toStdString());
    std::vector<std::string> envStore;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const auto& [k, v] : env)
            replaced = replaced || k == name;
        if (!replaced)
            envStore.push_back(entry);
    }
    for (const auto& [k, v] : env)
        envStore.push_back(k + "=" + v);
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> p;
        for (std::string& s : strings)
            p.push_back(s.data());
        p.push_back(nullptr);
        return p;
    };
    std::vector<char*> argv = pointers(argStore);
    std::vector<char*> envp = pointers(envStore);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray dirName = QFile::encodeName(workDir);
    if (!workDir.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, dirName.constData());
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return run;

    int status = 0;
    for (int waited = 0;; waited += 10) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid)
            break;
        if (r < 0 && errno != EINTR)
            return run;
        if (waited >= limitMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        QThread::msleep(10);
    }
    if (status != -1 && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    QFile o(dir.filePath("out"));
    if (o.open(QIODevice::ReadOnly))
        run.out = o.readAll();
    QFile e(dir.filePath("err"));
    if (e.open(QIODevice::ReadOnly))
        run.err = e.readAll();
    return run;
}

} // namespace kbtest
