#include "ui/PowerTraySignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal handler can reach nothing but a static: the write end of the self-pipe.
std::atomic<int> g_signalWriteFd{-1};
struct sigaction g_previousTerm {};
struct sigaction g_previousInt {};

void onTerminationSignal(int signo)
{
    const int fd = g_signalWriteFd.load();
    if (fd >= 0) {
        const char byte = char(signo);
        [[maybe_unused]] const auto written = ::write(fd, &byte, 1);
    }
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
    if (g_signalWriteFd.load() >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_) != 0)
        return;
    ::fcntl(fds_[0], F_SETFL, O_NONBLOCK);
    ::fcntl(fds_[1], F_SETFL, O_NONBLOCK);
    g_signalWriteFd.store(fds_[1]);
    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { readSignal(); });

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_previousTerm);
    ::sigaction(SIGINT, &action, &g_previousInt);
    active_ = true;
}

TerminationSignals::~TerminationSignals()
{
    if (active_) {
        ::sigaction(SIGTERM, &g_previousTerm, nullptr);
        ::sigaction(SIGINT, &g_previousInt, nullptr);
        g_signalWriteFd.store(-1);
    }
    notifier_.reset();
    for (int fd : fds_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void TerminationSignals::readSignal()
{
    char buffer[16];
    while (::read(fds_[0], buffer, sizeof buffer) > 0) {
    }
    if (onSignal_)
        onSignal_();
}
