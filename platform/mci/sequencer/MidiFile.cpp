#include "platform/mci/sequencer/MidiFile.h"

#include <algorithm>
#include <cstring>

namespace kb::mci::seq {

namespace {

struct Reader {
    const uint8_t* p;
    const uint8_t* end;

    size_t left() const { return static_cast<size_t>(end - p); }
    bool has(size_t n) const { return left() >= n; }
    uint32_t be32() { uint32_t v = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; p += 4; return v; }
    uint32_t le32() { uint32_t v = (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]; p += 4; return v; }
    uint16_t be16() { uint16_t v = static_cast<uint16_t>((p[0] << 8) | p[1]); p += 2; return v; }
    bool varLen(uint32_t& out)
    {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            if (!has(1))
                return false;
            const uint8_t b = *p++;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
};

struct RawEvent {
    uint32_t tick;
    int track;
    uint32_t tempo; // non-zero for a tempo meta event
    std::vector<uint8_t> bytes;
};

int dataBytesOf(uint8_t status)
{
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0: return 1;
    default: return 2;
    }
}

MidiParseError parseTrack(Reader r, int track, std::vector<RawEvent>& out, uint32_t& endTick)
{
    uint32_t tick = 0;
    uint8_t running = 0;
    while (r.left() > 0) {
        uint32_t delta = 0;
        if (!r.varLen(delta))
            return MidiParseError::Truncated;
        tick += delta;
        if (!r.has(1))
            return MidiParseError::Truncated;
        uint8_t status = *r.p;
        if (status < 0x80) {
            if (!running)
                return MidiParseError::Malformed;
            status = running;
        } else {
            ++r.p;
        }
        if (status == 0xFF) {
            if (!r.has(1))
                return MidiParseError::Truncated;
            const uint8_t type = *r.p++;
            uint32_t len = 0;
            if (!r.varLen(len) || !r.has(len))
                return MidiParseError::Truncated;
            if (type == 0x51 && len == 3) {
                const uint32_t us = (uint32_t(r.p[0]) << 16) | (uint32_t(r.p[1]) << 8) | r.p[2];
                if (us > 0)
                    out.push_back({tick, track, us, {}});
            }
            r.p += len;
            if (type == 0x2F) {
                endTick = tick;
                return MidiParseError::None;
            }
        } else if (status == 0xF0 || status == 0xF7) {
            uint32_t len = 0;
            if (!r.varLen(len) || !r.has(len))
                return MidiParseError::Truncated;
            if (status == 0xF0) {
                RawEvent e{tick, track, 0, {0xF0}};
                e.bytes.insert(e.bytes.end(), r.p, r.p + len);
                if (e.bytes.back() == 0xF7)
                    e.bytes.pop_back();
                out.push_back(std::move(e));
            }
            r.p += len;
        } else if (status >= 0x80 && status < 0xF0) {
            running = status;
            const int n = dataBytesOf(status);
            if (!r.has(n))
                return MidiParseError::Truncated;
            RawEvent e{tick, track, 0, {status}};
            for (int i = 0; i < n; ++i) {
                if (r.p[i] & 0x80)
                    return MidiParseError::Malformed;
                e.bytes.push_back(r.p[i]);
            }
            r.p += n;
            out.push_back(std::move(e));
        } else {
            return MidiParseError::Malformed; // system common/real-time bytes have no place in a file
        }
    }
    endTick = tick; // a track without an end-of-track event ends with its data
    return MidiParseError::None;
}

// The SMF inside a RIFF RMID wrapper, or the data itself.
bool unwrapRmid(const std::vector<uint8_t>& data, Reader& smf)
{
    smf = {data.data(), data.data() + data.size()};
    if (data.size() < 12 || std::memcmp(data.data(), "RIFF", 4) != 0)
        return true;
    if (std::memcmp(data.data() + 8, "RMID", 4) != 0)
        return false;
    Reader r{data.data() + 12, data.data() + data.size()};
    while (r.has(8)) {
        const bool isData = std::memcmp(r.p, "data", 4) == 0;
        r.p += 4;
        const uint32_t len = r.le32();
        if (isData) {
            smf = {r.p, r.p + std::min<size_t>(len, r.left())};
            return true;
        }
        if (!r.has(len))
            return false;
        r.p += len;
        // Chunks are padded to an even length; a file may end without the pad byte.
        if ((len & 1) && r.has(1))
            ++r.p;
    }
    return false;
}

} // namespace

int64_t MidiSong::timeOfTick(uint32_t tick) const
{
    if (ticksPerQuarter == 0 || tempoMap.empty())
        return 0;
    auto it = std::upper_bound(tempoMap.begin(), tempoMap.end(), tick,
                               [](uint32_t t, const TempoChange& c) { return t < c.tick; });
    const TempoChange& c = *std::prev(it);
    return c.timeUs + static_cast<int64_t>(tick - c.tick) * c.usPerQuarter / ticksPerQuarter;
}

uint32_t MidiSong::tickAtTime(int64_t timeUs) const
{
    if (ticksPerQuarter == 0 || tempoMap.empty())
        return 0;
    auto it = std::upper_bound(tempoMap.begin(), tempoMap.end(), timeUs,
                               [](int64_t t, const TempoChange& c) { return t < c.timeUs; });
    const TempoChange& c = *std::prev(it);
    return c.tick + static_cast<uint32_t>((timeUs - c.timeUs) * ticksPerQuarter / c.usPerQuarter);
}

MidiParseError parseMidi(const std::vector<uint8_t>& data, MidiSong& song)
{
    song = MidiSong{};
    Reader r{nullptr, nullptr};
    if (!unwrapRmid(data, r))
        return MidiParseError::NotMidi;
    if (!r.has(14) || std::memcmp(r.p, "MThd", 4) != 0)
        return MidiParseError::NotMidi;
    r.p += 4;
    const uint32_t headerLen = r.be32();
    if (headerLen < 6 || !r.has(headerLen))
        return MidiParseError::Truncated;
    const uint8_t* afterHeader = r.p + headerLen;
    song.format = r.be16();
    const int declaredTracks = r.be16();
    const uint16_t division = r.be16();
    r.p = afterHeader;
    if (song.format > 2 || declaredTracks == 0 || division == 0)
        return MidiParseError::Malformed;

    double ticksPerSecond = 0;
    if (division & 0x8000) {
        const int fps = -static_cast<int8_t>(division >> 8);
        const int perFrame = division & 0xFF;
        if (perFrame == 0 || (fps != 24 && fps != 25 && fps != 29 && fps != 30))
            return MidiParseError::Malformed;
        ticksPerSecond = (fps == 29 ? 29.97 : fps) * perFrame;
    } else {
        song.ticksPerQuarter = division;
    }

    std::vector<RawEvent> raw;
    uint32_t lengthTicks = 0;
    int tracks = 0;
    while (tracks < declaredTracks && r.has(8)) {
        const bool isTrack = std::memcmp(r.p, "MTrk", 4) == 0;
        r.p += 4;
        const uint32_t len = r.be32();
        if (!r.has(len))
            return MidiParseError::Truncated;
        if (isTrack) {
            uint32_t endTick = 0;
            const auto err = parseTrack({r.p, r.p + len}, tracks, raw, endTick);
            if (err != MidiParseError::None)
                return err;
            lengthTicks = std::max(lengthTicks, endTick);
            ++tracks;
        }
        r.p += len;
    }
    if (tracks < declaredTracks)
        return MidiParseError::Truncated;
    song.trackCount = tracks;

    std::stable_sort(raw.begin(), raw.end(), [](const RawEvent& a, const RawEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
    });

    song.tempoMap.push_back({0, 0, 500000});
    for (const RawEvent& e : raw) {
        if (!e.tempo || ticksPerSecond > 0)
            continue;
        const int64_t at = song.timeOfTick(e.tick);
        if (song.tempoMap.back().tick == e.tick)
            song.tempoMap.back().usPerQuarter = e.tempo;
        else
            song.tempoMap.push_back({e.tick, at, e.tempo});
    }

    auto timeOf = [&](uint32_t tick) {
        return ticksPerSecond > 0 ? static_cast<int64_t>(tick * 1e6 / ticksPerSecond) : song.timeOfTick(tick);
    };
    song.events.reserve(raw.size());
    for (RawEvent& e : raw) {
        if (!e.tempo)
            song.events.push_back({timeOf(e.tick), e.tick, std::move(e.bytes)});
    }
    song.lengthTicks = lengthTicks;
    song.lengthUs = timeOf(lengthTicks);
    return MidiParseError::None;
}

} // namespace kb::mci::seq
