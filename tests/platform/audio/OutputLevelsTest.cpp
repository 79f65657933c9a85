#include "platform/audio/AudioEngine.h"

#include <gtest/gtest.h>

using namespace kb::audio;

TEST(OutputLevels, StartFullAndKeepEachLineApart)
{
    OutputLevels levels;
    for (auto line : {Line::AuxCd, Line::AuxIn, Line::WaveOut0, Line::MidiOut0})
        EXPECT_EQ(levels.get(line), 0xFFFFFFFFu);

    levels.set(Line::WaveOut0, 0x40008000u);
    EXPECT_EQ(levels.get(Line::WaveOut0), 0x40008000u);
    EXPECT_EQ(levels.get(Line::MidiOut0), 0xFFFFFFFFu);
    EXPECT_NEAR(levels.gainLeft(Line::WaveOut0), 0.5, 1e-4);
    EXPECT_NEAR(levels.gainRight(Line::WaveOut0), 0.25, 1e-4);
    EXPECT_EQ(levels.gainLeft(Line::MidiOut0), 1.0f);
}

TEST(OutputLevels, AuxDevicesAreTheCdOutputAndTheAuxInput)
{
    EXPECT_EQ(OutputLevels::auxDeviceCount(), 2);
    EXPECT_EQ(OutputLevels::auxTechnology(0), kAuxTechCdAudio);
    EXPECT_EQ(OutputLevels::auxTechnology(1), kAuxTechAuxInput);
    EXPECT_EQ(OutputLevels::auxTechnology(2), -1);
    Line line{};
    ASSERT_TRUE(OutputLevels::auxLine(1, line));
    EXPECT_EQ(line, Line::AuxIn);
    EXPECT_FALSE(OutputLevels::auxLine(-1, line));
}

TEST(SinkChoice, ParsesEveryKindAndRejectsTheRest)
{
    SinkChoice c;
    ASSERT_TRUE(SinkChoice::parse("null", c));
    EXPECT_EQ(c.kind, SinkChoice::Kind::Null);
    EXPECT_EQ(c.speed, 1.0);

    ASSERT_TRUE(SinkChoice::parse("capture:/tmp/a,b.wav,speed=20", c));
    EXPECT_EQ(c.kind, SinkChoice::Kind::Capture);
    EXPECT_EQ(c.capturePath, "/tmp/a,b.wav");
    EXPECT_EQ(c.speed, 20.0);

    ASSERT_TRUE(SinkChoice::parse("sdl", c));
    EXPECT_EQ(c.kind, SinkChoice::Kind::Sdl);

    SinkChoice untouched;
    untouched.kind = SinkChoice::Kind::Null;
    for (const char* bad : {"", "alsa", "capture:", "null,speed=0", "null,speed=-1", "null,speed=x"}) {
        SinkChoice out = untouched;
        EXPECT_FALSE(SinkChoice::parse(bad, out)) << bad;
        EXPECT_EQ(out.kind, SinkChoice::Kind::Null) << bad;
    }
}
