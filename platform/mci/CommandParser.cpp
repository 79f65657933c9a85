#include "platform/mci/CommandParser.h"

#include "platform/mci/CommandTokens.h"
#include "platform/mci/MciErrors.h"

#include <span>
#include <vector>

namespace kb::mci {

namespace {

enum class Arg { None, Integer, String, Format, Rect };

enum class Key {
    Notify, Wait, Test,
    Type, Alias, Shareable,
    From, To, ToStart, ToEnd,
    SetTimeFormat, DoorOpen, DoorClosed,
    Mode, Position, Length, CurrentTrack, NumberOfTracks, MediaPresent, Ready, TimeFormatItem,
    StartPosition, Start, Track,
    Product, File, Identity,
    CanEject, CanPlay, CanRecord, CanSave, CompoundDevice, DeviceType, HasAudio, HasVideo,
    UsesFiles,
    Handle, HandleDefault, StateShow, StateHide,
    Destination, At,
    Count
};

struct Keyword {
    std::string_view words;
    Arg arg;
    Key key;
};

constexpr Keyword kCommon[] = {
    {"notify", Arg::None, Key::Notify}, {"wait", Arg::None, Key::Wait}, {"test", Arg::None, Key::Test}};
constexpr Keyword kOpen[] = {
    {"type", Arg::String, Key::Type}, {"alias", Arg::String, Key::Alias},
    {"shareable", Arg::None, Key::Shareable}};
constexpr Keyword kPlay[] = {{"from", Arg::Integer, Key::From}, {"to", Arg::Integer, Key::To}};
constexpr Keyword kSeek[] = {
    {"to", Arg::Integer, Key::To}, {"to start", Arg::None, Key::ToStart}, {"to end", Arg::None, Key::ToEnd}};
constexpr Keyword kSet[] = {
    {"time format", Arg::Format, Key::SetTimeFormat}, {"door open", Arg::None, Key::DoorOpen},
    {"door closed", Arg::None, Key::DoorClosed}};
constexpr Keyword kStatus[] = {
    {"mode", Arg::None, Key::Mode}, {"position", Arg::None, Key::Position},
    {"length", Arg::None, Key::Length}, {"current track", Arg::None, Key::CurrentTrack},
    {"number of tracks", Arg::None, Key::NumberOfTracks},
    {"media present", Arg::None, Key::MediaPresent}, {"ready", Arg::None, Key::Ready},
    {"time format", Arg::None, Key::TimeFormatItem},
    {"start position", Arg::None, Key::StartPosition}, {"start", Arg::None, Key::Start},
    {"track", Arg::Integer, Key::Track}};
constexpr Keyword kInfo[] = {
    {"product", Arg::None, Key::Product}, {"file", Arg::None, Key::File},
    {"identity", Arg::None, Key::Identity}};
constexpr Keyword kCapability[] = {
    {"can eject", Arg::None, Key::CanEject}, {"can play", Arg::None, Key::CanPlay},
    {"can record", Arg::None, Key::CanRecord}, {"can save", Arg::None, Key::CanSave},
    {"compound device", Arg::None, Key::CompoundDevice},
    {"device type", Arg::None, Key::DeviceType}, {"has audio", Arg::None, Key::HasAudio},
    {"has video", Arg::None, Key::HasVideo}, {"uses files", Arg::None, Key::UsesFiles}};
constexpr Keyword kWindow[] = {
    {"handle", Arg::Integer, Key::Handle}, {"handle default", Arg::None, Key::HandleDefault},
    {"state show", Arg::None, Key::StateShow}, {"state hide", Arg::None, Key::StateHide}};
constexpr Keyword kPut[] = {
    {"destination", Arg::None, Key::Destination}, {"at", Arg::Rect, Key::At}};

struct VerbEntry {
    std::string_view word;
    Verb verb;
    std::span<const Keyword> keywords;
    bool allowsAll;
};

const VerbEntry kVerbs[] = {
    {"open", Verb::Open, kOpen, false},
    {"close", Verb::Close, {}, true},
    {"play", Verb::Play, kPlay, false},
    {"stop", Verb::Stop, {}, true},
    {"pause", Verb::Pause, {}, true},
    {"resume", Verb::Resume, {}, true},
    {"seek", Verb::Seek, kSeek, false},
    {"set", Verb::Set, kSet, false},
    {"status", Verb::Status, kStatus, false},
    {"info", Verb::Info, kInfo, false},
    {"capability", Verb::Capability, kCapability, false},
    {"window", Verb::Window, kWindow, false},
    {"put", Verb::Put, kPut, false},
};

// Whether text, ASCII-lowered, equals the lower-case word.
bool equalsLower(std::string_view text, std::string_view word)
{
    if (text.size() != word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

struct Found {
    bool present = false;
    int64_t integer = 0;
    std::string string;
    TimeFormat format = TimeFormat::Milliseconds;
    std::array<int64_t, 4> rect{};
};

class Parser {
public:
    Parser(const std::vector<Token>& tokens, const VerbEntry& verb) : tokens_(tokens), verb_(verb) {}

    uint32_t run()
    {
        size_t i = 2;
        while (i < tokens_.size()) {
            const Keyword* keyword = nullptr;
            size_t wordCount = 0;
            matchLongest(kCommon, i, keyword, wordCount);
            matchLongest(verb_.keywords, i, keyword, wordCount);
            if (!keyword)
                return MCIERR_UNRECOGNIZED_KEYWORD;
            Found& slot = found_[static_cast<size_t>(keyword->key)];
            if (slot.present)
                return MCIERR_DUPLICATE_FLAGS;
            slot.present = true;
            i += wordCount;
            if (const uint32_t rc = readArgument(keyword->arg, slot, i))
                return rc;
        }
        return MCIERR_NO_ERROR;
    }

    const Found& operator[](Key key) const { return found_[static_cast<size_t>(key)]; }
    bool has(Key key) const { return (*this)[key].present; }

private:
    bool matches(std::string_view words, size_t at, size_t& count) const
    {
        count = 0;
        size_t pos = 0;
        while (pos <= words.size()) {
            const size_t blank = words.find(' ', pos);
            const std::string_view word = words.substr(pos, blank == std::string_view::npos ? std::string_view::npos : blank - pos);
            const size_t index = at + count;
            if (index >= tokens_.size() || tokens_[index].quoted || !equalsLower(tokens_[index].text, word))
                return false;
            ++count;
            if (blank == std::string_view::npos)
                break;
            pos = blank + 1;
        }
        return true;
    }

    void matchLongest(std::span<const Keyword> table, size_t at, const Keyword*& best, size_t& bestCount) const
    {
        for (const Keyword& k : table) {
            size_t count = 0;
            if (matches(k.words, at, count) && count > bestCount) {
                best = &k;
                bestCount = count;
            }
        }
    }

    uint32_t readInteger(size_t& i, int64_t& value) const
    {
        // Nothing at all where the number belongs is an invalid integer; a word there is
        // the lack of one.
        if (i >= tokens_.size())
            return MCIERR_BAD_INTEGER;
        switch (parseInteger(tokens_[i].text, value)) {
        case IntegerParse::Ok:
            ++i;
            return MCIERR_NO_ERROR;
        case IntegerParse::NotAnInteger:
            return MCIERR_NO_INTEGER;
        case IntegerParse::Malformed:
            break;
        }
        return MCIERR_BAD_INTEGER;
    }

    uint32_t readArgument(Arg arg, Found& slot, size_t& i) const
    {
        switch (arg) {
        case Arg::None:
            return MCIERR_NO_ERROR;
        case Arg::Integer:
            return readInteger(i, slot.integer);
        case Arg::Rect:
            for (auto& v : slot.rect)
                if (const uint32_t rc = readInteger(i, v))
                    return rc;
            return MCIERR_NO_ERROR;
        case Arg::String:
            if (i >= tokens_.size())
                return MCIERR_MISSING_STRING_ARGUMENT;
            slot.string = tokens_[i++].text;
            return MCIERR_NO_ERROR;
        case Arg::Format:
            return readFormat(slot, i);
        }
        return MCIERR_INTERNAL;
    }

    // Format names have up to three words ("smpte 30 drop"): the longest that names one wins.
    uint32_t readFormat(Found& slot, size_t& i) const
    {
        if (i >= tokens_.size())
            return MCIERR_MISSING_PARAMETER;
        for (size_t words = 3; words >= 1; --words) {
            if (i + words > tokens_.size())
                continue;
            std::string joined;
            bool quotedWord = false;
            for (size_t w = 0; w < words; ++w) {
                quotedWord = quotedWord || (tokens_[i + w].quoted && words > 1);
                if (w)
                    joined += ' ';
                joined += asciiLower(tokens_[i + w].text);
            }
            if (quotedWord)
                continue;
            if (const auto format = parseTimeFormat(joined)) {
                slot.format = *format;
                i += words;
                return MCIERR_NO_ERROR;
            }
        }
        return MCIERR_BAD_TIME_FORMAT;
    }

    const std::vector<Token>& tokens_;
    const VerbEntry& verb_;
    std::array<Found, static_cast<size_t>(Key::Count)> found_{};
};

template <typename T>
struct Choice {
    Key key;
    T value;
};

template <typename T, size_t N>
uint32_t pickOne(const Parser& p, const Choice<T> (&choices)[N], T& out)
{
    int count = 0;
    for (const auto& c : choices)
        if (p.has(c.key)) {
            out = c.value;
            ++count;
        }
    if (count == 0)
        return MCIERR_MISSING_PARAMETER;
    return count == 1 ? MCIERR_NO_ERROR : MCIERR_FLAGS_NOT_COMPATIBLE;
}

const Choice<StatusItem> kStatusItems[] = {
    {Key::Mode, StatusItem::Mode},
    {Key::Position, StatusItem::Position},
    {Key::Length, StatusItem::Length},
    {Key::CurrentTrack, StatusItem::CurrentTrack},
    {Key::NumberOfTracks, StatusItem::NumberOfTracks},
    {Key::MediaPresent, StatusItem::MediaPresent},
    {Key::Ready, StatusItem::Ready},
    {Key::TimeFormatItem, StatusItem::TimeFormat},
    {Key::StartPosition, StatusItem::StartPosition},
};
const Choice<InfoItem> kInfoItems[] = {
    {Key::Product, InfoItem::Product}, {Key::File, InfoItem::File}, {Key::Identity, InfoItem::Identity}};
const Choice<CapabilityItem> kCapabilityItems[] = {
    {Key::CanEject, CapabilityItem::CanEject},
    {Key::CanPlay, CapabilityItem::CanPlay},
    {Key::CanRecord, CapabilityItem::CanRecord},
    {Key::CanSave, CapabilityItem::CanSave},
    {Key::CompoundDevice, CapabilityItem::CompoundDevice},
    {Key::DeviceType, CapabilityItem::DeviceType},
    {Key::HasAudio, CapabilityItem::HasAudio},
    {Key::HasVideo, CapabilityItem::HasVideo},
    {Key::UsesFiles, CapabilityItem::UsesFiles},
};
const Choice<SeekRequest::Kind> kSeekKinds[] = {
    {Key::To, SeekRequest::Kind::To}, {Key::ToStart, SeekRequest::Kind::Start}, {Key::ToEnd, SeekRequest::Kind::End}};

uint32_t assemble(const Parser& p, ParsedCommand& out)
{
    out.notify = p.has(Key::Notify);
    out.wait = p.has(Key::Wait);
    out.test = p.has(Key::Test);
    auto optionalInt = [&](Key k) { return p.has(k) ? std::optional<int64_t>(p[k].integer) : std::nullopt; };

    switch (out.verb) {
    case Verb::Open:
        if (p.has(Key::Type))
            out.type = p[Key::Type].string;
        if (p.has(Key::Alias))
            out.alias = p[Key::Alias].string;
        out.shareable = p.has(Key::Shareable);
        return MCIERR_NO_ERROR;
    case Verb::Play:
        out.from = optionalInt(Key::From);
        out.to = optionalInt(Key::To);
        return MCIERR_NO_ERROR;
    case Verb::Seek:
        out.to = optionalInt(Key::To);
        return pickOne(p, kSeekKinds, out.seekKind);
    case Verb::Set:
        if (p.has(Key::DoorOpen) && p.has(Key::DoorClosed))
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        if (!p.has(Key::SetTimeFormat) && !p.has(Key::DoorOpen) && !p.has(Key::DoorClosed))
            return MCIERR_MISSING_PARAMETER;
        if (p.has(Key::SetTimeFormat))
            out.set.timeFormat = p[Key::SetTimeFormat].format;
        if (p.has(Key::DoorOpen) || p.has(Key::DoorClosed))
            out.set.doorOpen = p.has(Key::DoorOpen);
        return MCIERR_NO_ERROR;
    case Verb::Status: {
        out.track = optionalInt(Key::Track);
        const uint32_t rc = pickOne(p, kStatusItems, out.statusItem);
        if (rc || !p.has(Key::Start))
            return rc;
        // "position start": where the media starts, never of one track.
        if (out.statusItem != StatusItem::Position || out.track)
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        out.statusItem = StatusItem::StartPosition;
        return MCIERR_NO_ERROR;
    }
    case Verb::Info:
        return pickOne(p, kInfoItems, out.infoItem);
    case Verb::Capability:
        return pickOne(p, kCapabilityItems, out.capabilityItem);
    case Verb::Window:
        if ((p.has(Key::Handle) && p.has(Key::HandleDefault)) || (p.has(Key::StateShow) && p.has(Key::StateHide)))
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        if (p.has(Key::Handle))
            out.handle = p[Key::Handle].integer;
        else if (p.has(Key::HandleDefault))
            out.handle = 0;
        if (p.has(Key::StateShow) || p.has(Key::StateHide))
            out.show = p.has(Key::StateShow);
        return out.handle || out.show ? MCIERR_NO_ERROR : MCIERR_MISSING_PARAMETER;
    case Verb::Put:
        if (!p.has(Key::Destination))
            return MCIERR_MISSING_PARAMETER;
        if (p.has(Key::At))
            out.rect = p[Key::At].rect;
        return MCIERR_NO_ERROR;
    case Verb::Close:
    case Verb::Stop:
    case Verb::Pause:
    case Verb::Resume:
        return MCIERR_NO_ERROR;
    }
    return MCIERR_INTERNAL;
}

} // namespace

uint32_t parseCommand(std::string_view text, ParsedCommand& out)
{
    out = ParsedCommand{};
    std::vector<Token> tokens;
    if (const uint32_t rc = tokenize(text, tokens))
        return rc;
    if (tokens.empty())
        return MCIERR_MISSING_COMMAND_STRING;

    const std::string word = tokens[0].quoted ? std::string() : asciiLower(tokens[0].text);
    const VerbEntry* verb = nullptr;
    for (const auto& v : kVerbs)
        if (v.word == word)
            verb = &v;
    if (!verb)
        return MCIERR_UNRECOGNIZED_COMMAND;
    out.verb = verb->verb;

    if (tokens.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    out.device = tokens[1].text;
    out.all = !tokens[1].quoted && asciiLower(tokens[1].text) == "all";
    if (out.all && !verb->allowsAll)
        return MCIERR_CANNOT_USE_ALL;

    Parser parser(tokens, *verb);
    if (const uint32_t rc = parser.run())
        return rc;
    return assemble(parser, out);
}

} // namespace kb::mci
