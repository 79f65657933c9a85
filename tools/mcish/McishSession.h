#pragma once

#include "platform/mci/MciService.h"

#include <QObject>

#include <cstdint>
#include <deque>
#include <map>
#include <string>

// Runs MCI command lines against a service and prints one result line per command and one
// line per notification, in the order they happen. "sleep <ms>" pauses the script while
// notifications keep arriving; blank lines and "#" comments are skipped.
class McishSession : public QObject {
public:
    explicit McishSession(kb::mci::MciService& service, QObject* parent = nullptr);

    // Queue a script line; lines run in order, each as soon as no sleep is in progress.
    void addLine(std::string line);
    // Queue a command line that is sent even when blank ("sleep" still pauses).
    void addCommand(std::string command);
    // No more lines will come: the application quits once the queue is done.
    void finish();

protected:
    bool event(QEvent* e) override;

private:
    void runQueued();
    void runCommand(const std::string& command);
    void rememberAlias(const std::string& command, const std::string& reply);
    static void printLine(const std::string& text);

    kb::mci::MciService& service_;
    struct Entry {
        std::string text;
        bool script = true;
    };
    std::deque<Entry> queue_;
    std::map<uint32_t, std::string> aliases_;
    bool sleeping_ = false;
    bool finished_ = false;
};
