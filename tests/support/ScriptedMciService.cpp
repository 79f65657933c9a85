#include "tests/support/ScriptedMciService.h"

#include "platform/mci/MciErrors.h"

#include <QCoreApplication>

#include <algorithm>

namespace kbtest {

uint32_t ScriptedMciService::sendString(std::string_view command, std::string& reply,
                                        QObject* callback)
{
    std::string text(command);
    log_.push_back(text);
    const Answer a = lookup(text);
    if (a.code != 0) {
        reply.clear();
        return a.code;
    }
    reply = a.reply;
    if (text.find(" notify") != std::string::npos) {
        pendingNotify_ = true;
        pendingCallback_ = callback;
    }
    return 0;
}

bool ScriptedMciService::getErrorString(uint32_t code, std::string& text) const
{
    if (const auto it = errorTexts_.find(code); it != errorTexts_.end()) {
        text = it->second;
        return true;
    }
    text = std::string(kb::mci::errorText(code));
    return !text.empty();
}

ScriptedMciService::Answer ScriptedMciService::lookup(const std::string& command)
{
    if (auto it = sequences_.find(command); it != sequences_.end() && !it->second.empty()) {
        Answer a = it->second.front();
        if (it->second.size() > 1)
            it->second.pop_front();
        return a;
    }
    if (auto it = exact_.find(command); it != exact_.end())
        return it->second;
    for (const auto& [prefix, a] : prefixes_) {
        if (command.starts_with(prefix))
            return a;
    }
    for (const auto& rule : regexes_) {
        if (rule.pattern.match(QString::fromStdString(command)).hasMatch())
            return rule.answer;
    }
    return default_;
}

void ScriptedMciService::answer(const std::string& command, uint32_t code, const std::string& reply)
{
    exact_[command] = Answer{code, reply};
}

void ScriptedMciService::answerSequence(const std::string& command, std::vector<Answer> answers)
{
    sequences_[command] = std::deque<Answer>(answers.begin(), answers.end());
}

void ScriptedMciService::answerPrefix(const std::string& prefix, uint32_t code,
                                      const std::string& reply)
{
    prefixes_.emplace_back(prefix, Answer{code, reply});
    std::stable_sort(prefixes_.begin(), prefixes_.end(), [](const auto& a, const auto& b) {
        return a.first.size() > b.first.size();
    });
}

void ScriptedMciService::answerRegex(const std::string& pattern, uint32_t code,
                                     const std::string& reply)
{
    regexes_.push_back(RegexRule{
        QRegularExpression(QRegularExpression::anchoredPattern(QString::fromStdString(pattern))),
        Answer{code, reply}});
}

void ScriptedMciService::setDefault(uint32_t code, const std::string& reply)
{
    default_ = Answer{code, reply};
}

void ScriptedMciService::setErrorText(uint32_t code, const std::string& text)
{
    errorTexts_[code] = text;
}

void ScriptedMciService::clearScript()
{
    exact_.clear();
    sequences_.clear();
    prefixes_.clear();
    regexes_.clear();
    errorTexts_.clear();
    default_ = {};
}

QStringList ScriptedMciService::commands() const
{
    QStringList out;
    for (const auto& c : log_)
        out << QString::fromStdString(c);
    return out;
}

int ScriptedMciService::count(const std::string& command) const
{
    return static_cast<int>(std::count(log_.begin(), log_.end(), command));
}

int ScriptedMciService::countPrefix(const std::string& prefix) const
{
    return static_cast<int>(std::count_if(log_.begin(), log_.end(),
                                          [&](const auto& c) { return c.starts_with(prefix); }));
}

bool ScriptedMciService::deliverPendingNotify(uint32_t flags)
{
    if (!pendingNotify_)
        return false;
    pendingNotify_ = false;
    QObject* target = pendingCallback_;
    pendingCallback_ = nullptr;
    if (!target)
        return false;
    QCoreApplication::postEvent(target, new kb::mci::MciNotifyEvent(flags, 1));
    return true;
}

} // namespace kbtest
