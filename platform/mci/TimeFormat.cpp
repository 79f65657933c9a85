#include "platform/mci/TimeFormat.h"

#include <charconv>
#include <cstdio>

namespace kb::mci {

namespace {

struct NamedFormat {
    std::string_view name;
    TimeFormat format;
};

constexpr NamedFormat kNames[] = {
    {"milliseconds", TimeFormat::Milliseconds}, {"hms", TimeFormat::Hms},
    {"msf", TimeFormat::Msf},                   {"frames", TimeFormat::Frames},
    {"smpte 24", TimeFormat::Smpte24},          {"smpte 25", TimeFormat::Smpte25},
    {"smpte 30", TimeFormat::Smpte30},          {"smpte 30 drop", TimeFormat::Smpte30Drop},
    {"bytes", TimeFormat::Bytes},               {"samples", TimeFormat::Samples},
    {"tmsf", TimeFormat::Tmsf},                 {"song pointer", TimeFormat::SongPointer},
};

std::string joinFields(std::initializer_list<uint32_t> fields)
{
    std::string out;
    char buf[16];
    for (uint32_t f : fields) {
        if (!out.empty())
            out += ':';
        std::snprintf(buf, sizeof buf, "%02u", f);
        out += buf;
    }
    return out;
}

} // namespace

std::string_view timeFormatName(TimeFormat f)
{
    for (const auto& n : kNames)
        if (n.format == f)
            return n.name;
    return {};
}

std::optional<TimeFormat> parseTimeFormat(std::string_view words)
{
    for (const auto& n : kNames)
        if (n.name == words)
            return n.format;
    if (words == "ms")
        return TimeFormat::Milliseconds;
    if (words == "frame")
        return TimeFormat::Frames;
    int code = -1;
    auto [end, ec] = std::from_chars(words.data(), words.data() + words.size(), code);
    if (ec == std::errc() && end == words.data() + words.size() && code >= 0
        && code <= static_cast<int>(TimeFormat::SongPointer))
        return static_cast<TimeFormat>(code);
    return std::nullopt;
}

std::string formatMsf(uint32_t m, uint32_t s, uint32_t f) { return joinFields({m, s, f}); }
std::string formatTmsf(uint32_t t, uint32_t m, uint32_t s, uint32_t f) { return joinFields({t, m, s, f}); }
std::string formatHms(uint32_t h, uint32_t m, uint32_t s) { return joinFields({h, m, s}); }
std::string formatSmpte(uint32_t h, uint32_t m, uint32_t s, uint32_t f) { return joinFields({h, m, s, f}); }

std::string smpteFromMs(uint64_t ms, int fps)
{
    const uint64_t totalSeconds = ms / 1000;
    const uint64_t leftover = ms % 1000;
    return formatSmpte(static_cast<uint32_t>(totalSeconds / 3600),
                       static_cast<uint32_t>(totalSeconds / 60 % 60),
                       static_cast<uint32_t>(totalSeconds % 60),
                       static_cast<uint32_t>(leftover * static_cast<uint64_t>(fps) / 1000));
}

uint64_t msFromSmpte(uint32_t packed, int fps)
{
    if (fps <= 0)
        return 0;
    const uint64_t seconds = field(packed, 0) * 3600ull + field(packed, 1) * 60ull + field(packed, 2);
    return seconds * 1000 + field(packed, 3) * 1000ull / static_cast<uint64_t>(fps);
}

int smpteFps(TimeFormat f)
{
    switch (f) {
    case TimeFormat::Smpte24: return 24;
    case TimeFormat::Smpte25: return 25;
    case TimeFormat::Smpte30:
    case TimeFormat::Smpte30Drop: return 30;
    default: return 0;
    }
}

} // namespace kb::mci
