#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace kbtest {

// Builds Standard MIDI Files byte by byte, so tests control every detail (running status,
// tempo events in any track, SysEx, the RMID wrapper).
class MidiTrack {
public:
    MidiTrack& delta(uint32_t ticks)
    {
        uint8_t buf[4];
        int n = 0;
        buf[n++] = ticks & 0x7F;
        while (ticks >>= 7)
            buf[n++] = static_cast<uint8_t>(0x80 | (ticks & 0x7F));
        while (n)
            bytes.push_back(buf[--n]);
        return *this;
    }
    MidiTrack& raw(std::initializer_list<uint8_t> b)
    {
        bytes.insert(bytes.end(), b);
        return *this;
    }
    MidiTrack& tempo(uint32_t at, uint32_t usPerQuarter)
    {
        return delta(at).raw({0xFF, 0x51, 0x03, uint8_t(usPerQuarter >> 16), uint8_t(usPerQuarter >> 8),
                              uint8_t(usPerQuarter)});
    }
    MidiTrack& end(uint32_t at) { return delta(at).raw({0xFF, 0x2F, 0x00}); }

    std::vector<uint8_t> bytes;
};

inline void put32(std::vector<uint8_t>& v, uint32_t x)
{
    v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
}

inline std::vector<uint8_t> smf(int format, uint16_t division, const std::vector<MidiTrack>& tracks)
{
    std::vector<uint8_t> v{'M', 'T', 'h', 'd'};
    put32(v, 6);
    v.insert(v.end(), {0, uint8_t(format), 0, uint8_t(tracks.size()), uint8_t(division >> 8), uint8_t(division)});
    for (const auto& t : tracks) {
        v.insert(v.end(), {'M', 'T', 'r', 'k'});
        put32(v, static_cast<uint32_t>(t.bytes.size()));
        v.insert(v.end(), t.bytes.begin(), t.bytes.end());
    }
    return v;
}

inline std::vector<uint8_t> rmid(const std::vector<uint8_t>& smfData)
{
    auto le = [](std::vector<uint8_t>& v, uint32_t x) {
        v.insert(v.end(), {uint8_t(x), uint8_t(x >> 8), uint8_t(x >> 16), uint8_t(x >> 24)});
    };
    std::vector<uint8_t> v{'R', 'I', 'F', 'F'};
    le(v, static_cast<uint32_t>(4 + 8 + smfData.size()));
    v.insert(v.end(), {'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'});
    le(v, static_cast<uint32_t>(smfData.size()));
    v.insert(v.end(), smfData.begin(), smfData.end());
    if (smfData.size() & 1)
        v.push_back(0);
    return v;
}

// Two tracks at 480 ticks a quarter: 120 bpm for the first 960 ticks (1 s), then 60 bpm set
// by the second track; the conductor ends at tick 1920 (3 s), the music at tick 2400 (4 s).
// One note sounds from the start to the very end, written with running status.
inline std::vector<uint8_t> fourSecondSong()
{
    MidiTrack conductor;
    conductor.tempo(0, 500000).end(1920);
    MidiTrack music;
    music.delta(0).raw({0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}) // GM system on
        .delta(0).raw({0xC0, 0x00})
        .delta(0).raw({0xB0, 0x07, 0x64})
        .delta(0).raw({0x90, 60, 100})
        .delta(0).raw({64, 90})                  // running status: a second note
        .tempo(960, 1000000)
        .delta(480).raw({0xE0, 0x00, 0x48})      // pitch bend
        .delta(0).raw({0x90, 67, 80})
        .delta(960).raw({67, 0})                 // note off as velocity 0, running status
        .delta(0).raw({0x80, 64, 0})
        .delta(0).raw({0x80, 60, 0})
        .end(0);
    return smf(1, 480, {conductor, music});
}

inline bool writeFile(const std::string& path, const std::vector<uint8_t>& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(f);
}

} // namespace kbtest
