// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "Harness.h"

using namespace tapelark;
using namespace tapelark::testing;
using Strings = std::vector<std::string>;

namespace {

class Status : public ::testing::Test, public CaptureHarness {
protected:
    // The two length requests answer in turn: milliseconds, then bytes.
    void Lengths(std::vector<FakeMciChannel::Answer> answers) { mci.Script("status capture length", answers); }
};

TEST_F(Status, ModeIsTheWordAloneAndNaWhenTheRequestFails) {
    mci.Script("status capture mode", {{0, "recording"}});
    EXPECT_EQ(engine.CaptureModeText(), "recording");
    EXPECT_EQ(mci.calls[0].length, 255u);
    EXPECT_EQ(mci.calls[0].fieldBefore, std::string(255, ' '));

    mci.Fail("status capture mode");
    EXPECT_EQ(engine.CaptureModeText(), "N/A");
}

TEST_F(Status, LengthTextReadsSecondsAndBytes) {
    Lengths({{0, "12345"}, {0, "2177280"}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  12.345 s ( 2177280 bytes)");
    EXPECT_EQ(mci.Commands(), (Strings{"set capture time format ms", "status capture length",
                                       "set capture time format bytes", "status capture length"}));
    EXPECT_EQ(mci.calls[0].length, 0u);
    EXPECT_EQ(mci.calls[0].fieldBefore, "");
    EXPECT_EQ(mci.calls[1].length, 255u);
    EXPECT_EQ(mci.calls[1].fieldBefore, std::string(255, '\0'));
    EXPECT_EQ(mci.calls[3].length, 255u);
}

TEST_F(Status, WholeMinuteAndShortLengths) {
    Lengths({{0, "60000"}, {0, "10584000"}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  60 s ( 10584000 bytes)");
    Lengths({{0, " 500 "}, {0, "88200"}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  0.5 s ( 88200 bytes)");
    Lengths({{0, "0"}, {0, "0"}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  0 s ( 0 bytes)");
}

TEST_F(Status, AReplyThatIsNoNumberLeavesItsPartOut) {
    Lengths({{0, "twelve"}, {0, "2177280"}});
    EXPECT_EQ(engine.CaptureLengthText(), " ( 2177280 bytes)");
    Lengths({{0, "12345"}, {0, "lots"}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  12.345 s");
    Lengths({{0, "3000000000"}, {0, "1"}});  // past 32 bits of milliseconds
    EXPECT_EQ(engine.CaptureLengthText(), " ( 1 bytes)");
}

TEST_F(Status, BytesPast32BitsStillRead) {
    Lengths({{0, "25000000"}, {0, "4410000000"}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  25000 s ( 4410000000 bytes)");
}

TEST_F(Status, NoDeviceGivesNaAndAnEmptyLength) {
    mci.Fail("status capture mode");
    mci.Fail("status capture length");
    EXPECT_EQ(engine.CaptureModeText(), "N/A");
    EXPECT_EQ(engine.CaptureLengthText(), "");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Status, AFailedBytesRequestDoesNotShowTheSecondsAsBytes) {
    Lengths({{0, "12345"}, {263, ""}});
    EXPECT_EQ(engine.CaptureLengthText(), "Length recording  12.345 s");
}

}  // namespace
