#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Number reading of the kind the player applies to reply texts and option strings.
namespace kb::numtext {

// The leading numeric part of text (blanks before it skipped, optional sign, digits, an
// optional fraction); 0 when the text does not start with a number. "12abc" gives 12,
// "Error:263" gives 0.
double leadingNumber(const QString& text);

// Rounded to the nearest integer, halves to even; nullopt when out of range or not finite.
std::optional<int16_t> roundToInt16(double value);
std::optional<int32_t> roundToInt32(double value);

// roundToInt16 with an out-of-range value reading as 0.
int16_t toInt16(double value);

// The whole text (surrounding blanks allowed) as a number rounded to a 32-bit integer;
// nullopt when the text is not a number or out of range.
std::optional<int32_t> toInt32(const QString& text);

// a + b, held at the 32-bit limits instead of wrapping.
int32_t saturatingAdd(int64_t a, int64_t b);

} // namespace kb::numtext
