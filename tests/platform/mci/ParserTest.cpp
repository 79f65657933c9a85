#include "platform/mci/CommandParser.h"
#include "platform/mci/CommandTokens.h"
#include "platform/mci/MciErrors.h"

#include <gtest/gtest.h>

using namespace kb::mci;

namespace {

ParsedCommand parsed(std::string_view text)
{
    ParsedCommand c;
    EXPECT_EQ(parseCommand(text, c), 0u) << text;
    return c;
}

} // namespace

TEST(CommandTokens, QuotedWordsKeepBlanksAndNonAsciiText)
{
    std::vector<Token> tokens;
    ASSERT_EQ(tokenize("open \"C:\\a b\\曲 ｱ.wav\"  alias\t2", tokens), 0u);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1].text, "C:\\a b\\曲 ｱ.wav");
    EXPECT_TRUE(tokens[1].quoted);
    EXPECT_EQ(tokens[3].text, "2");

    EXPECT_EQ(tokenize("open \"x.wav alias 2", tokens), MCIERR_NO_CLOSING_QUOTE);
    EXPECT_EQ(tokenize("open \"x.wav\"alias 2", tokens), MCIERR_EXTRA_CHARACTERS);
    ASSERT_EQ(tokenize(std::string_view("play 2\0garbage", 14), tokens), 0u);
    EXPECT_EQ(tokens.size(), 2u);
}

TEST(CommandTokens, IntegersInDecimalAndColonNotation)
{
    struct Case {
        const char* text;
        IntegerParse result;
        int64_t value;
    };
    const Case cases[] = {
        {"1500", IntegerParse::Ok, 1500},
        {"-5000", IntegerParse::Ok, -5000},
        {"220:5:0", IntegerParse::Ok, 1500},
        {"3:1:30:0", IntegerParse::Ok, 3 | (1 << 8) | (30 << 16)},
        {"::1", IntegerParse::Ok, 1 << 16},
        {"4294967295", IntegerParse::Ok, 4294967295LL},
        {"4294967296", IntegerParse::Malformed, 0},
        {"0x10", IntegerParse::Malformed, 0},
        {"1:2:3:4:5", IntegerParse::Malformed, 0},
        {"256:0", IntegerParse::Malformed, 0},
        {"-1:2", IntegerParse::Malformed, 0},
        {"-", IntegerParse::Malformed, 0},
        {"12ab", IntegerParse::Malformed, 0},
        {"start", IntegerParse::NotAnInteger, 0},
    };
    for (const auto& c : cases) {
        int64_t value = 0;
        EXPECT_EQ(parseInteger(c.text, value), c.result) << c.text;
        if (c.result == IntegerParse::Ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(CommandParser, CommandsTheProgramSends)
{
    auto open = parsed("open \"C:\\a b\\x.avi\" alias 2 notify");
    EXPECT_EQ(open.verb, Verb::Open);
    EXPECT_EQ(open.device, "C:\\a b\\x.avi");
    EXPECT_EQ(open.alias, "2");
    EXPECT_TRUE(open.notify);

    auto cd = parsed("open E: type \"cdaudio\" alias 2 notify");
    EXPECT_EQ(cd.device, "E:");
    EXPECT_EQ(cd.type, "cdaudio");

    auto play = parsed("PLAY 2 To 3 FROM 220:5:0");
    EXPECT_EQ(play.verb, Verb::Play);
    EXPECT_EQ(play.from, 1500);
    EXPECT_EQ(play.to, 3);

    auto seek = parsed("seek 2 to -5000");
    EXPECT_EQ(seek.seekKind, SeekRequest::Kind::To);
    EXPECT_EQ(seek.to, -5000);
    EXPECT_EQ(parsed("seek 2 to start").seekKind, SeekRequest::Kind::Start);
    EXPECT_EQ(parsed("seek 2 to end wait").seekKind, SeekRequest::Kind::End);

    auto status = parsed("status 2 position track 3");
    EXPECT_EQ(status.statusItem, StatusItem::Position);
    EXPECT_EQ(status.track, 3);
    EXPECT_EQ(parsed("status 2 number of tracks").statusItem, StatusItem::NumberOfTracks);
    EXPECT_EQ(parsed("status 2 time format").statusItem, StatusItem::TimeFormat);

    EXPECT_EQ(parsed("set 2 time format smpte 30 drop").set.timeFormat, TimeFormat::Smpte30Drop);
    EXPECT_EQ(parsed("set 2 time format ms door closed").set.doorOpen, false);
    EXPECT_EQ(parsed("set 2 time format frame").set.timeFormat, TimeFormat::Frames);
    EXPECT_EQ(parsed("set 2 door open").set.doorOpen, true);

    EXPECT_EQ(parsed("info 2 identity").infoItem, InfoItem::Identity);
    EXPECT_EQ(parsed("capability 2 can eject").capabilityItem, CapabilityItem::CanEject);

    auto window = parsed("window 2 handle 12345 state hide");
    EXPECT_EQ(window.handle, 12345);
    EXPECT_EQ(window.show, false);
    EXPECT_EQ(parsed("window 2 handle default").handle, 0);

    auto put = parsed("put 2 destination at 0 -4 320 240");
    ASSERT_TRUE(put.rect);
    EXPECT_EQ((*put.rect)[1], -4);
    EXPECT_EQ((*put.rect)[3], 240);

    auto all = parsed("close ALL");
    EXPECT_TRUE(all.all);
    EXPECT_FALSE(parsed("close \"all\"").all);
}

TEST(CommandParser, MalformedCommandsGetTheirErrors)
{
    struct Case {
        const char* text;
        uint32_t code;
    };
    const Case cases[] = {
        {"", MCIERR_MISSING_COMMAND_STRING},
        {"   \t ", MCIERR_MISSING_COMMAND_STRING},
        {"jump 2", MCIERR_UNRECOGNIZED_COMMAND},
        {"\"play\" 2", MCIERR_UNRECOGNIZED_COMMAND},
        {"play", MCIERR_MISSING_DEVICE_NAME},
        {"play 2 fast", MCIERR_UNRECOGNIZED_KEYWORD},
        {"play 2 \"from\" 3", MCIERR_UNRECOGNIZED_KEYWORD},
        {"play 2 from", MCIERR_BAD_INTEGER},
        {"play 2 from to 5", MCIERR_NO_INTEGER},
        {"play 2 from 0x10", MCIERR_BAD_INTEGER},
        {"play 2 from 1:2:3:4:5", MCIERR_BAD_INTEGER},
        {"play 2 from 1:256", MCIERR_BAD_INTEGER},
        {"play 2 from 1 from 2", MCIERR_DUPLICATE_FLAGS},
        {"play 2 notify notify", MCIERR_DUPLICATE_FLAGS},
        {"open x.wav alias", MCIERR_MISSING_STRING_ARGUMENT},
        {"open \"x.wav", MCIERR_NO_CLOSING_QUOTE},
        {"open \"x.wav\"x alias 2", MCIERR_EXTRA_CHARACTERS},
        {"open all", MCIERR_CANNOT_USE_ALL},
        {"status all mode", MCIERR_CANNOT_USE_ALL},
        {"play all", MCIERR_CANNOT_USE_ALL},
        {"status 2", MCIERR_MISSING_PARAMETER},
        {"status 2 mode position", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"status 2 track", MCIERR_BAD_INTEGER},
        {"status 2 track 3", MCIERR_MISSING_PARAMETER},
        {"status 2 start", MCIERR_MISSING_PARAMETER},
        {"status 2 position start track 2", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"status 2 track 2 position start", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"status 2 length start", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"seek 2", MCIERR_MISSING_PARAMETER},
        {"seek 2 to start to end", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"set 2", MCIERR_MISSING_PARAMETER},
        {"set 2 door open door closed", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"set 2 time format", MCIERR_MISSING_PARAMETER},
        {"set 2 time format furlongs", MCIERR_BAD_TIME_FORMAT},
        {"set 2 time format 12", MCIERR_BAD_TIME_FORMAT},
        {"info 2", MCIERR_MISSING_PARAMETER},
        {"capability 2 can fly", MCIERR_UNRECOGNIZED_KEYWORD},
        {"window 2", MCIERR_MISSING_PARAMETER},
        {"window 2 handle 5 handle default", MCIERR_FLAGS_NOT_COMPATIBLE},
        {"put 2 destination at 1 2 3", MCIERR_BAD_INTEGER},
        {"put 2 at 1 2 3 4", MCIERR_MISSING_PARAMETER},
    };
    for (const auto& c : cases) {
        ParsedCommand out;
        EXPECT_EQ(parseCommand(c.text, out), c.code) << '"' << c.text << '"';
    }
}
