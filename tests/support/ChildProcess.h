#pragma once

// Runs built programs as child processes for the tests that drive our programs.
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

// Where a child's standard streams go: file names; an empty name keeps this process's own.
struct ChildStreams {
    QByteArray in, out, err;
};

// The environment of a child: this process's own, with `set` added or replacing and the
// variables named in `unset` taken out.
struct ChildEnv {
    std::vector<std::pair<std::string, std::string>> set;
    std::vector<std::string> unset;
};

// A child process started in the background. The destructor kills and reaps one that is
// still running, so a failing test leaves nothing behind.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    Child& operator=(Child&& other) noexcept
    {
        end();
        pid_ = std::exchange(other.pid_, 0);
        status_ = other.status_;
        done_ = other.done_;
        return *this;
    }
    ~Child() { end(); }

    // `env` is set on top of this process's environment; `workDir` is the child's folder
    // when given. False when the program could not be started.
    bool start(const QString& program, const QStringList& args,
               const std::vector<std::pair<std::string, std::string>>& env = {}, const QString& workDir = {},
               const ChildStreams& streams = {})
    {
        return start(program, args, ChildEnv{env, {}}, workDir, streams);
    }

    bool start(const QString& program, const QStringList& args, const ChildEnv& env, const QString& workDir = {},
               const ChildStreams& streams = {})
    {
        std::vector<std::string> argStore{QFile::encodeName(program).toStdString()};
        for (const QString& a : args)
            argStore.push_back(a.toLocal8Bit().toStdString());
        std::vector<std::string> envStore;
        for (char** e = environ; *e; ++e) {
            const std::string entry(*e);
            const std::string name = entry.substr(0, entry.find('='));
            bool replaced = false;
            for (const auto& [k, v] : env.set)
                replaced = replaced || k == name;
            for (const std::string& k : env.unset)
                replaced = replaced || k == name;
            if (!replaced)
                envStore.push_back(entry);
        }
        for (const auto& [k, v] : env.set)
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
        if (!streams.in.isEmpty())
            posix_spawn_file_actions_addopen(&actions, 0, streams.in.constData(), O_RDONLY, 0);
        if (!streams.out.isEmpty())
            posix_spawn_file_actions_addopen(&actions, 1, streams.out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (!streams.err.isEmpty())
            posix_spawn_file_actions_addopen(&actions, 2, streams.err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const QByteArray dirName = QFile::encodeName(workDir);
        if (!workDir.isEmpty())
            posix_spawn_file_actions_addchdir_np(&actions, dirName.constData());
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            pid_ = 0;
        return rc == 0;
    }

    pid_t pid() const { return pid_; }

    bool running()
    {
        if (pid_ <= 0 || done_)
            return false;
        const pid_t r = ::waitpid(pid_, &status_, WNOHANG);
        done_ = r == pid_ || (r < 0 && errno != EINTR);
        return !done_;
    }

    void signal(int sig)
    {
        if (running())
            ::kill(pid_, sig);
    }

    // Waits for the end, killing a child still running after `limitMs` (then -1). The exit
    // code of a normal exit, else -1.
    int wait(int limitMs = 120000)
    {
        for (int waited = 0; running(); waited += 5) {
            if (waited >= limitMs) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, nullptr, 0);
                done_ = true;
                return -1;
            }
            QThread::msleep(5);
        }
        return done_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    }

    // Whether the ended child was killed by a signal.
    bool killedBySignal() const { return done_ && WIFSIGNALED(status_); }
    int killSignal() const { return killedBySignal() ? WTERMSIG(status_) : 0; }

private:
    void end()
    {
        if (pid_ > 0 && running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    pid_t pid_ = 0;
    int status_ = 0;
    bool done_ = false;
};

struct ChildRun {
    int exitCode = -1; // -1 when the child did not start or did not exit normally
    QByteArray out;
    QByteArray err;
};

// Runs `program` to its end with `input` as its standard input and `env` set on top of
// this process's environment, in `workDir` when one is given. A child still running after
// `limitMs` is killed (a safety net for a hung tool; the run then reports exit code -1).
inline ChildRun runChildWithEnv(const QString& program, const QStringList& args, const QByteArray& input,
                                const ChildEnv& env, const QString& workDir = {}, int limitMs = 120000)
{
    ChildRun run;
    QTemporaryDir dir;
    {
        QFile f(dir.filePath("in"));
        if (!f.open(QIODevice::WriteOnly) || f.write(input) != input.size())
            return run;
    }
    const ChildStreams streams{QFile::encodeName(dir.filePath("in")), QFile::encodeName(dir.filePath("out")),
                               QFile::encodeName(dir.filePath("err"))};
    Child child;
    if (!child.start(program, args, env, workDir, streams))
        return run;
    run.exitCode = child.wait(limitMs);
    QFile o(dir.filePath("out"));
    if (o.open(QIODevice::ReadOnly))
        run.out = o.readAll();
    QFile e(dir.filePath("err"));
    if (e.open(QIODevice::ReadOnly))
        run.err = e.readAll();
    return run;
}

inline ChildRun runChild(const QString& program, const QStringList& args, const QByteArray& input = {},
                         const std::vector<std::pair<std::string, std::string>>& env = {},
                         const QString& workDir = {}, int limitMs = 120000)
{
    return runChildWithEnv(program, args, input, ChildEnv{env, {}}, workDir, limitMs);
}

} // namespace kbtest
