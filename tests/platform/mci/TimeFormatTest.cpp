#include "platform/mci/TimeFormat.h"

#include <gtest/gtest.h>

using namespace kb::mci;

TEST(TimeFormat, NamesRoundTripThroughParse)
{
    for (int code = 0; code <= static_cast<int>(TimeFormat::SongPointer); ++code) {
        const auto f = static_cast<TimeFormat>(code);
        EXPECT_EQ(parseTimeFormat(timeFormatName(f)), f) << code;
        EXPECT_EQ(parseTimeFormat(std::to_string(code)), f) << code;
    }
    EXPECT_EQ(parseTimeFormat("ms"), TimeFormat::Milliseconds);
    EXPECT_EQ(parseTimeFormat("frame"), TimeFormat::Frames);
    EXPECT_FALSE(parseTimeFormat("12"));
    EXPECT_FALSE(parseTimeFormat("smpte"));
}

TEST(TimeFormat, RepliesArePaddedFields)
{
    EXPECT_EQ(formatMsf(0, 2, 0), "00:02:00");
    EXPECT_EQ(formatTmsf(3, 1, 27, 40), "03:01:27:40");
    EXPECT_EQ(formatMsf(123, 5, 9), "123:05:09");
    EXPECT_EQ(smpteFromMs(3723500, 24), "01:02:03:12");
    EXPECT_EQ(msFromSmpte(packFields(1, 2, 3, 12), 24), 3723500u);
    EXPECT_EQ(packFields(220, 5), 1500u);
}
