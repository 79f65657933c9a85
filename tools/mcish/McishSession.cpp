#include "tools/mcish/McishSession.h"

#include "platform/mci/CommandParser.h"

#include <QCoreApplication>
#include <QTimer>

#include <charconv>
#include <cstdio>

McishSession::McishSession(kb::mci::MciService& service, QObject* parent) : QObject(parent), service_(service) {}

void McishSession::printLine(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void McishSession::addLine(std::string line)
{
    queue_.push_back(Entry{std::move(line), true});
    runQueued();
}

void McishSession::addCommand(std::string command)
{
    queue_.push_back(Entry{std::move(command), false});
    runQueued();
}

void McishSession::finish()
{
    finished_ = true;
    runQueued();
}

void McishSession::runQueued()
{
    while (!sleeping_ && !queue_.empty()) {
        Entry entry = std::move(queue_.front());
        queue_.pop_front();
        std::string line = std::move(entry.text);
        while (entry.script && !line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            if (!entry.script)
                runCommand(line);
            continue;
        }
        if (line.compare(first, 6, "sleep ") == 0 || line.substr(first) == "sleep") {
            const std::string arg = line.substr(line.find_first_not_of(" \t", first + 5) == std::string::npos
                                                    ? line.size()
                                                    : line.find_first_not_of(" \t", first + 5));
            int ms = 0;
            const auto [end, ec] = std::from_chars(arg.data(), arg.data() + arg.size(), ms);
            if (ec != std::errc() || end != arg.data() + arg.size() || ms < 0) {
                std::fprintf(stderr, "mcish: sleep needs a number of milliseconds\n");
                continue;
            }
            sleeping_ = true;
            QTimer::singleShot(ms, this, [this] {
                sleeping_ = false;
                runQueued();
            });
            return;
        }
        runCommand(line);
    }
    if (finished_ && !sleeping_ && queue_.empty())
        QCoreApplication::quit();
}

void McishSession::runCommand(const std::string& command)
{
    std::string reply;
    const uint32_t rc = service_.sendString(command, reply, this);
    if (rc == 0) {
        rememberAlias(command, reply);
        printLine(reply.empty() ? "0" : "0 " + reply);
        return;
    }
    std::string text;
    service_.getErrorString(rc, text);
    printLine(text.empty() ? std::to_string(rc) : std::to_string(rc) + " " + text);
}

void McishSession::rememberAlias(const std::string& command, const std::string& reply)
{
    kb::mci::ParsedCommand parsed;
    if (kb::mci::parseCommand(command, parsed) != 0 || parsed.verb != kb::mci::Verb::Open || parsed.test)
        return;
    uint32_t id = 0;
    const auto [end, ec] = std::from_chars(reply.data(), reply.data() + reply.size(), id);
    if (ec == std::errc() && end == reply.data() + reply.size())
        aliases_[id] = parsed.alias ? *parsed.alias : parsed.device;
}

bool McishSession::event(QEvent* e)
{
    if (e->type() != kb::mci::MciNotifyEvent::type())
        return QObject::event(e);
    const auto* n = static_cast<kb::mci::MciNotifyEvent*>(e);
    const auto alias = aliases_.find(n->deviceId());
    const std::string who = alias != aliases_.end() ? alias->second : std::to_string(n->deviceId());
    printLine("notify " + who + " " + std::to_string(n->flags()));
    return true;
}
