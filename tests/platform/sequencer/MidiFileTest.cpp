#include "platform/mci/sequencer/MidiFile.h"
#include "tests/platform/sequencer/MidiWriter.h"

#include <gtest/gtest.h>

using namespace kb::mci::seq;

TEST(MidiFile, TempoChangesInAnyTrackMakeTheLength)
{
    MidiSong song;
    ASSERT_EQ(parseMidi(kbtest::fourSecondSong(), song), MidiParseError::None);
    EXPECT_EQ(song.format, 1);
    EXPECT_EQ(song.trackCount, 2);
    EXPECT_EQ(song.lengthTicks, 2400u);
    EXPECT_EQ(song.lengthUs, 4000000);
    ASSERT_EQ(song.tempoMap.size(), 2u);
    EXPECT_EQ(song.tempoMap[1].timeUs, 1000000);
    EXPECT_EQ(song.timeOfTick(1440), 2000000);
    EXPECT_EQ(song.tickAtTime(1500000), 1200u);

    // SysEx, program, volume, two notes (one by running status), bend, note, three offs.
    ASSERT_EQ(song.events.size(), 10u);
    EXPECT_EQ(song.events[0].bytes, (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0x01}));
    EXPECT_EQ(song.events[4].bytes, (std::vector<uint8_t>{0x90, 64, 90}));
    EXPECT_EQ(song.events[6].timeUs, 2000000);
    EXPECT_EQ(song.events[7].bytes, (std::vector<uint8_t>{0x90, 67, 0}));
    EXPECT_EQ(song.events[9].timeUs, 4000000);
}

TEST(MidiFile, RmidWrapperAndSmpteTimeBase)
{
    MidiSong plain, wrapped;
    ASSERT_EQ(parseMidi(kbtest::fourSecondSong(), plain), MidiParseError::None);
    ASSERT_EQ(parseMidi(kbtest::rmid(kbtest::fourSecondSong()), wrapped), MidiParseError::None);
    EXPECT_EQ(wrapped.lengthUs, plain.lengthUs);
    EXPECT_EQ(wrapped.events.size(), plain.events.size());

    // 25 frames of 40 ticks: 1000 ticks a second, tempo events ignored.
    kbtest::MidiTrack t;
    t.tempo(0, 250000).delta(0).raw({0x90, 60, 100}).delta(2500).raw({0x80, 60, 0}).end(0);
    MidiSong smpte;
    ASSERT_EQ(parseMidi(kbtest::smf(0, 0xE728, {t}), smpte), MidiParseError::None);
    EXPECT_EQ(smpte.lengthUs, 2500000);
}

TEST(MidiFile, DamagedFilesAreRefused)
{
    MidiSong song;
    const auto good = kbtest::fourSecondSong();

    auto truncated = good;
    truncated.resize(good.size() - 10);
    EXPECT_EQ(parseMidi(truncated, song), MidiParseError::Truncated);

    auto headerOnly = good;
    headerOnly.resize(14);
    EXPECT_EQ(parseMidi(headerOnly, song), MidiParseError::Truncated);

    EXPECT_EQ(parseMidi({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, song), MidiParseError::NotMidi);
    EXPECT_EQ(parseMidi(std::vector<uint8_t>(100, 0x55), song), MidiParseError::NotMidi);
    EXPECT_EQ(parseMidi({}, song), MidiParseError::NotMidi);

    kbtest::MidiTrack noStatus;
    noStatus.delta(0).raw({60, 100}).end(0);
    EXPECT_EQ(parseMidi(kbtest::smf(0, 96, {noStatus}), song), MidiParseError::Malformed);

    kbtest::MidiTrack endless;
    endless.delta(0).raw({0x90, 60}); // the event is cut off
    EXPECT_EQ(parseMidi(kbtest::smf(0, 96, {endless}), song), MidiParseError::Truncated);

    kbtest::MidiTrack badVarLen;
    badVarLen.raw({0xFF, 0xFF, 0xFF, 0xFF, 0x7F}).raw({0x90, 60, 100});
    EXPECT_EQ(parseMidi(kbtest::smf(0, 96, {badVarLen}), song), MidiParseError::Truncated);
}

// An odd-length chunk that ends the file has no pad byte after it; the walk must stop at
// the end instead of stepping one past it and reading on. The storage past the file's end
// holds a whole RMID "data" chunk, so a walk that read on would find a song there.
TEST(MidiFile, OddChunkAtTheEndOfAnRmidStopsTheWalk)
{
    const std::vector<uint8_t> file = {0x52, 0x49, 0x46, 0x46, 0x0D, 0x00, 0x00, 0x00, 0x52, 0x4D, 0x49,
                                       0x44, 0x6A, 0x75, 0x6E, 0x6B, 0x01, 0x00, 0x00, 0x00, 0x00};
    const std::vector<uint8_t> song = kbtest::fourSecondSong();
    std::vector<uint8_t> storage = file;
    storage.push_back(0); // where the pad byte would be
    for (char c : {'d', 'a', 't', 'a'})
        storage.push_back(static_cast<uint8_t>(c));
    for (int i = 0; i < 4; ++i)
        storage.push_back(static_cast<uint8_t>(song.size() >> (8 * i)));
    storage.insert(storage.end(), song.begin(), song.end());
    storage.resize(file.size()); // the capacity, and the bytes in it, stay

    MidiSong parsed;
    EXPECT_EQ(parseMidi(storage, parsed), MidiParseError::NotMidi);
    EXPECT_EQ(parseMidi(file, parsed), MidiParseError::NotMidi);
}
