#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kb::mci {

// One blank-separated word of a command. A word written in double quotes keeps its blanks
// and is never taken for a keyword.
struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a command into words; 0 or MCIERR_NO_CLOSING_QUOTE / MCIERR_EXTRA_CHARACTERS.
// The text ends at its first NUL character, as a C string would.
uint32_t tokenize(std::string_view command, std::vector<Token>& out);

// ASCII lower case; bytes of multi-byte UTF-8 sequences are left alone.
std::string asciiLower(std::string_view text);

enum class IntegerParse { Ok, NotAnInteger, Malformed };

// A decimal integer with an optional leading "-", or colon notation "a:b:c:d" (up to four
// fields of 0..255, empty fields 0, packed with a in the lowest byte). Anything that
// starts like a number but is not one (hex, five fields, a field over 255, a magnitude
// beyond 32 bits) is Malformed; text that does not start like a number is NotAnInteger.
IntegerParse parseInteger(std::string_view text, int64_t& value);

} // namespace kb::mci
