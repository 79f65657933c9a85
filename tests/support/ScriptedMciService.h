#pragma once

#include "platform/mci/MciService.h"

#include <QObject>
#include <QPointer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace kbtest {

// A media control service for program tests. It records every command text it is sent, in
// order, and answers from a script instead of driving a device.
//
// Rules are tried in this order; the first that matches answers:
//   1. a queued sequence for the exact text (answerSequence): each call takes the next answer,
//      the last answer repeats once the queue is down to one;
//   2. an exact rule (answer);
//   3. prefix rules (answerPrefix), longest prefix first;
//   4. regex rules (answerRegex, QRegularExpression matching the whole text), in the order
//      added;
//   5. the default answer, (0, "") unless setDefault changed it.
// Matching is on the text exactly as sent (case-sensitive).
//
// A failing answer (code != 0) empties the reply, as the real service does. Error texts
// come from kb::mci::errorText; setErrorText overrides or adds a text for a code.
//
// A command containing " notify" that succeeds remembers its callback object and device id
// 1; deliverPendingNotify(flags) posts the MciNotifyEvent to it (through the event queue, as
// the real service does) and forgets it. A newer " notify" command replaces the pending one.
class ScriptedMciService : public kb::mci::MciService {
public:
    struct Answer {
        uint32_t code = 0;
        std::string reply;
    };

    uint32_t sendString(std::string_view command, std::string& reply, QObject* callback) override;
    bool getErrorString(uint32_t code, std::string& text) const override;

    // Script
    void answer(const std::string& command, uint32_t code, const std::string& reply = {});
    void answer(const std::string& command, const std::string& reply) { answer(command, 0, reply); }
    void answerSequence(const std::string& command, std::vector<Answer> answers);
    void answerPrefix(const std::string& prefix, uint32_t code, const std::string& reply = {});
    void answerRegex(const std::string& pattern, uint32_t code, const std::string& reply = {});
    void setDefault(uint32_t code, const std::string& reply = {});
    void setErrorText(uint32_t code, const std::string& text);
    void clearScript();

    // Log
    const std::vector<std::string>& log() const { return log_; }
    QStringList commands() const;
    int count(const std::string& command) const;
    int countPrefix(const std::string& prefix) const;
    std::string lastCommand() const { return log_.empty() ? std::string() : log_.back(); }
    void clearLog() { log_.clear(); }

    // Notifications
    bool hasPendingNotify() const { return pendingNotify_; }
    QObject* pendingCallback() const { return pendingCallback_; }
    // Posts MciNotifyEvent(flags) to the pending callback; false when none is pending.
    bool deliverPendingNotify(uint32_t flags = kb::mci::NotifySuccessful);

private:
    Answer lookup(const std::string& command);

    struct RegexRule {
        QRegularExpression pattern;
        Answer answer;
    };

    std::vector<std::string> log_;
    std::map<std::string, Answer> exact_;
    std::map<std::string, std::deque<Answer>> sequences_;
    std::vector<std::pair<std::string, Answer>> prefixes_;
    std::vector<RegexRule> regexes_;
    std::map<uint32_t, std::string> errorTexts_;
    Answer default_;
    bool pendingNotify_ = false;
    QPointer<QObject> pendingCallback_;
};

} // namespace kbtest
