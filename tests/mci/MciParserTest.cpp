// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {
namespace {

TEST(MciParser, SplitsWordsKeepsTheRawRestAndHonoursQuotes) {
    MciCommand c;
    ASSERT_EQ(ParseMciCommand("  SET\tCapture   time  FORMAT ms \r\n", c), 0u);
    EXPECT_EQ(c.verb, "set");
    EXPECT_EQ(c.device, "Capture");
    EXPECT_EQ(c.words, (std::vector<std::string>{"time", "FORMAT", "ms"}));
    EXPECT_EQ(c.rest, "time  FORMAT ms");
    // The raw rest keeps paths with blanks, and a lone quote is no error for save.
    for (const char* path : {"/home/me/My Music/take 1.wav", "/tmp/6\" single.wav"}) {
        ASSERT_EQ(ParseMciCommand(std::string("save capture ") + path, c), 0u) << path;
        EXPECT_EQ(c.rest, path);
    }
    ASSERT_EQ(ParseMciCommand("open new type waveaudio alias \"my take\"", c), 0u);
    ASSERT_EQ(c.words.size(), 4u);
    EXPECT_EQ(c.words[3], "my take");
}

TEST(MciParser, ReportsMissingPartsAndOpenQuotes) {
    MciCommand c;
    struct Case {
        const char* text;
        std::uint32_t code;
    } cases[] = {{"", mcierr::kMissingCommandString},
                 {" \t ", mcierr::kMissingCommandString},
                 {"status \"capture mode", mcierr::kNoClosingQuote},
                 {"record", mcierr::kMissingDeviceName}};
    for (const Case& k : cases) EXPECT_EQ(ParseMciCommand(k.text, c), k.code) << k.text;
    EXPECT_EQ(c.verb, "record");
}

}  // namespace
}  // namespace tapelark
