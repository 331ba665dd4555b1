#include <gtest/gtest.h>

#include "platform/win32/SendKeys.h"

namespace tapelark {
namespace {

constexpr unsigned short kEnter = 0x0D;

TEST(SendKeysTest, EnterAndNamedKeysAndCharacters) {
    using S = std::vector<KeyStroke>;
    EXPECT_EQ(ParseSendKeys("~"), (S{{kEnter, 0}}));
    EXPECT_EQ(ParseSendKeys("{ENTER}{enter}"), (S{{kEnter, 0}, {kEnter, 0}}));
    EXPECT_EQ(ParseSendKeys("a{TAB}b"), (S{{0, 'a'}, {0x09, 0}, {0, 'b'}}));
    EXPECT_EQ(ParseSendKeys("{~}{{}{}}"), (S{{0, '~'}, {0, '{'}, {0, '}'}}));
    EXPECT_EQ(ParseSendKeys("{NOSUCHKEY}x"), (S{{0, 'x'}}));
    EXPECT_EQ(ParseSendKeys("{"), (S{{0, '{'}}));
    EXPECT_TRUE(ParseSendKeys("").empty());
}

}  // namespace
}  // namespace tapelark
