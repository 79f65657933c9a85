#include "platform/audio/AudioEngine.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace kb::audio {

namespace {

bool parseSpeed(std::string_view text, double& speed)
{
    constexpr std::string_view prefix = "speed=";
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    const std::string number(text.substr(prefix.size()));
    if (number.empty())
        return false;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size() || !std::isfinite(value) || value <= 0.0)
        return false;
    speed = value;
    return true;
}

} // namespace

bool SinkChoice::parse(const std::string& text, SinkChoice& out)
{
    SinkChoice choice;
    std::string_view rest(text);
    // The speed suffix is the last ",speed=N"; a capture path may itself contain commas.
    if (const auto comma = rest.rfind(','); comma != std::string_view::npos
        && rest.substr(comma + 1).starts_with("speed=")) {
        if (!parseSpeed(rest.substr(comma + 1), choice.speed))
            return false;
        rest = rest.substr(0, comma);
    }
    if (rest == "sdl") {
        choice.kind = Kind::Sdl;
    } else if (rest == "null") {
        choice.kind = Kind::Null;
    } else if (rest.starts_with("capture:") && rest.size() > 8) {
        choice.kind = Kind::Capture;
        choice.capturePath = std::string(rest.substr(8));
    } else {
        return false;
    }
    out = choice;
    return true;
}

SinkChoice SinkChoice::fromEnvironment()
{
    SinkChoice choice;
    if (const char* value = std::getenv("KOBALTUNE_AUDIO"); value && *value)
        parse(value, choice);
    return choice;
}

} // namespace kb::audio
