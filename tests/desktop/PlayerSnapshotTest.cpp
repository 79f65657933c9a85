#include "desktop/PlayerSnapshot.h"

#include <gtest/gtest.h>

using kb::desktop::readOutMicroseconds;
using kb::desktop::trackObjectPath;

TEST(PlayerSnapshot, ReadOutsBecomeMicrosecondsAndTheBlankReadOutIsNoTime)
{
    EXPECT_EQ(readOutMicroseconds("00:00"), 0);
    EXPECT_EQ(readOutMicroseconds("03:25"), 205'000'000LL);
    EXPECT_EQ(readOutMicroseconds("123:59"), (123 * 60 + 59) * 1'000'000LL);
    EXPECT_EQ(readOutMicroseconds("88:88"), -1);
    EXPECT_EQ(readOutMicroseconds(""), -1);
    EXPECT_EQ(readOutMicroseconds("1:2"), -1);
    EXPECT_EQ(readOutMicroseconds("ab:cd"), -1);
}

TEST(PlayerSnapshot, TracksAreNamedByValidObjectPaths)
{
    EXPECT_EQ(trackObjectPath(7), "/org/kobaltune/track/7");
    EXPECT_EQ(trackObjectPath(0), "/org/mpris/MediaPlayer2/TrackList/NoTrack");
}
