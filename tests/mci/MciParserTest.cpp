#include <gtest/gtest.h>

#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {
namespace {

TEST(MciParser, SplitsWordsAtAnyRunOfBlanks) {
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("  SET\tCapture   time  FORMAT ms \r\n", c), 0u);
    EXPECT_EQ(c.verb, "set");
    EXPECT_EQ(c.device, "Capture");
    EXPECT_EQ(c.words, (std::vector<std::string>{"time", "FORMAT", "ms"}));
    EXPECT_EQ(c.rest, "time  FORMAT ms");
}

TEST(MciParser, KeepsTheRawRestForPathsWithBlanks) {
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("save capture /home/me/My Music/take 1.wav", c), 0u);
    EXPECT_EQ(c.rest, "/home/me/My Music/take 1.wav");
    // A lone quote in a file name is no error for save.
    ASSERT_EQ(ParseMciCommand("save capture /tmp/6\" single.wav", c), 0u);
    EXPECT_EQ(c.rest, "/tmp/6\" single.wav");
}

TEST(MciParser, QuotedWordsHoldBlanks) {
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("open new type waveaudio alias \"my take\"", c), 0u);
    ASSERT_EQ(c.words.size(), 4u);
    EXPECT_EQ(c.words[3], "my take");
    EXPECT_EQ(ParseMciCommand("status \"capture mode", c), mcierr::kNoClosingQuote);
}

TEST(MciParser, ReportsMissingParts) {
    MciCommand c;
    EXPECT_EQ(ParseMciCommand("", c), mcierr::kMissingCommandString);
    EXPECT_EQ(ParseMciCommand(" \t ", c), mcierr::kMissingCommandString);
    EXPECT_EQ(ParseMciCommand("record", c), mcierr::kMissingDeviceName);
    EXPECT_EQ(c.verb, "record");
}

}  // namespace
}  // namespace tapelark
