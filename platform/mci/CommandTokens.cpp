#include "platform/mci/CommandTokens.h"

#include "platform/mci/MciErrors.h"

#include <limits>

namespace kb::mci {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

IntegerParse parseColonFields(std::string_view text, int64_t& value)
{
    uint32_t packed = 0;
    int index = 0;
    size_t start = 0;
    while (true) {
        const size_t colon = text.find(':', start);
        const std::string_view fieldText =
            text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start);
        if (index >= 4 || fieldText.size() > 3)
            return IntegerParse::Malformed;
        uint32_t field = 0;
        for (char c : fieldText) {
            if (!isDigit(c))
                return IntegerParse::Malformed;
            field = field * 10 + static_cast<uint32_t>(c - '0');
        }
        if (field > 255)
            return IntegerParse::Malformed;
        packed |= field << (8 * index);
        ++index;
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    value = packed;
    return IntegerParse::Ok;
}

} // namespace

std::string asciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

uint32_t tokenize(std::string_view command, std::vector<Token>& out)
{
    out.clear();
    if (const size_t nul = command.find('\0'); nul != std::string_view::npos)
        command = command.substr(0, nul);
    size_t i = 0;
    while (i < command.size()) {
        if (isBlank(command[i])) {
            ++i;
            continue;
        }
        Token token;
        if (command[i] == '"') {
            const size_t close = command.find('"', i + 1);
            if (close == std::string_view::npos)
                return MCIERR_NO_CLOSING_QUOTE;
            if (close + 1 < command.size() && !isBlank(command[close + 1]))
                return MCIERR_EXTRA_CHARACTERS;
            token.text.assign(command.substr(i + 1, close - i - 1));
            token.quoted = true;
            i = close + 1;
        } else {
            size_t end = i;
            while (end < command.size() && !isBlank(command[end]))
                ++end;
            token.text.assign(command.substr(i, end - i));
            i = end;
        }
        out.push_back(std::move(token));
    }
    return MCIERR_NO_ERROR;
}

IntegerParse parseInteger(std::string_view text, int64_t& value)
{
    if (text.empty() || !(isDigit(text[0]) || text[0] == '-' || text[0] == ':'))
        return IntegerParse::NotAnInteger;
    if (text.find(':') != std::string_view::npos)
        return parseColonFields(text, value);

    const bool negative = text[0] == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 10)
        return IntegerParse::Malformed;
    int64_t magnitude = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return IntegerParse::Malformed;
        magnitude = magnitude * 10 + (c - '0');
    }
    if (magnitude > static_cast<int64_t>(std::numeric_limits<uint32_t>::max()))
        return IntegerParse::Malformed;
    value = negative ? -magnitude : magnitude;
    return IntegerParse::Ok;
}

} // namespace kb::mci
