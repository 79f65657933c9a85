#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a call on the UI thread (through a self-pipe), so that a
// terminated player still powers off in order and keeps its settings. Only one instance
// catches the signals at a time; the previous handlers come back when it is destroyed.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool active() const { return active_; }

private:
    void readSignal();

    std::function<void()> onSignal_;
    int fds_[2] = {-1, -1};
    bool active_ = false;
    std::unique_ptr<QSocketNotifier> notifier_;
};
