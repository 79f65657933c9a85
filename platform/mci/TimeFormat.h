#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kb::mci {

// Time formats of the MCI language; the values are the numeric format codes.
enum class TimeFormat : int {
    Milliseconds = 0,
    Hms = 1,
    Msf = 2,
    Frames = 3,
    Smpte24 = 4,
    Smpte25 = 5,
    Smpte30 = 6,
    Smpte30Drop = 7,
    Bytes = 8,
    Samples = 9,
    Tmsf = 10,
    SongPointer = 11,
};

// The name "status ... time format" replies with ("milliseconds", "smpte 24", ...); it is
// also accepted back by "set ... time format".
std::string_view timeFormatName(TimeFormat f);

// A time format from the words after "time format" (already lower-cased, single blanks):
// every name above, "ms", "frame", or a numeric code 0..11.
std::optional<TimeFormat> parseTimeFormat(std::string_view words);

// Colon-notation packing: field a in the lowest byte ("a:b:c:d").
constexpr uint32_t packFields(uint32_t a, uint32_t b, uint32_t c = 0, uint32_t d = 0)
{
    return (a & 0xFF) | ((b & 0xFF) << 8) | ((c & 0xFF) << 16) | ((d & 0xFF) << 24);
}
constexpr uint32_t field(uint32_t packed, int index) { return (packed >> (8 * index)) & 0xFF; }

// Replies with every field zero-padded to at least two digits, ":" between fields.
std::string formatMsf(uint32_t minutes, uint32_t seconds, uint32_t frames);
std::string formatTmsf(uint32_t track, uint32_t minutes, uint32_t seconds, uint32_t frames);
std::string formatHms(uint32_t hours, uint32_t minutes, uint32_t seconds);
std::string formatSmpte(uint32_t hours, uint32_t minutes, uint32_t seconds, uint32_t frames);

// Milliseconds as an SMPTE reply at fps frames a second (24, 25 or 30): hours, minutes,
// seconds, then frames = floor(leftover ms * fps / 1000).
std::string smpteFromMs(uint64_t ms, int fps);
// Milliseconds from a packed SMPTE value (h | m<<8 | s<<16 | f<<24) at fps.
uint64_t msFromSmpte(uint32_t packed, int fps);

// Frames per second of an SMPTE format (24, 25, 30; 30 for drop-frame), 0 otherwise.
int smpteFps(TimeFormat f);

} // namespace kb::mci
