// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "Harness.h"

using namespace tapelark;
using namespace tapelark::testing;
using Strings = std::vector<std::string>;

namespace {

const std::string kFormat = "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400";

class Device : public ::testing::Test, public CaptureHarness {};

TEST_F(Device, RecordingSendsTheFourCommandsWithTheirFields) {
    engine.BeginRecording();
    EXPECT_EQ(mci.Commands(), (Strings{"close all", "open new type waveaudio alias capture", kFormat, "record capture"}));
    for (const auto& call : mci.calls) {
        EXPECT_TRUE(call.hasField) << call.command;
        EXPECT_EQ(call.length, 260u) << call.command;
        EXPECT_EQ(call.callback, 0u);
    }
    EXPECT_EQ(mci.calls[0].fieldBefore, std::string(260, ' '));
    EXPECT_EQ(mci.calls[2].fieldBefore, std::string(260, ' '));
    EXPECT_EQ(mci.calls[3].fieldBefore, std::string(260, ' '));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Device, StopPlayAndClearSendNoField) {
    engine.StopCapture();
    engine.PlayCapture();
    engine.CloseAllDevices();
    EXPECT_EQ(mci.Commands(), (Strings{"stop capture", "play capture from 0", "close all"}));
    for (const auto& call : mci.calls) {
        EXPECT_FALSE(call.hasField);
        EXPECT_EQ(call.length, 0u);
    }
}

TEST_F(Device, CloseAllFailingShowsOneMessageAndOpensNothing) {
    mci.Fail("close all");
    engine.BeginRecording();
    EXPECT_EQ(mci.Commands(), (Strings{"close all"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Closing all MCI operations failed!");
    EXPECT_EQ(messages.shown[0].style, 0);
    EXPECT_EQ(messages.shown[0].caption, "Tapelark");
}

TEST_F(Device, OpenFailingEndsTheRecording) {
    mci.Fail("open new type waveaudio alias capture");
    engine.BeginRecording();
    EXPECT_EQ(mci.Commands(), (Strings{"close all", "open new type waveaudio alias capture"}));
    EXPECT_EQ(messages.Texts(), (Strings{"Opening new wave failed!"}));
    EXPECT_FALSE(engine.OpenCaptureDevice());
}

TEST_F(Device, FormatAndRecordFailingShowTwoMessagesInOrder) {
    mci.Fail(kFormat);
    mci.Fail("record capture");
    engine.BeginRecording();
    EXPECT_EQ(mci.Commands().back(), "record capture");
    EXPECT_EQ(messages.Texts(), (Strings{"Settings for recording not consistent", "Recording not possible."}));
}

TEST_F(Device, StopAndPlayReportTheirOwnFailures) {
    mci.Fail("stop capture");
    mci.Fail("play capture from 0");
    mci.Fail("close all");
    engine.StopCapture();
    engine.PlayCapture();
    engine.CloseAllDevices();
    EXPECT_EQ(messages.Texts(),
              (Strings{"Stopping recording failed!",
                       "Start playing failed!\r\nClose other applications using multimedia."}));
}

TEST_F(Device, AnOpenThatThrowsStillGoesOnToFormatAndRecord) {
    struct Throwing : FakeMciChannel {
        std::uint32_t SendString(const char* c, char* r, std::uint32_t l, std::uintptr_t w) override {
            FakeMciChannel::SendString(c, r, l, w);
            if (std::string(c) == "close all") throw std::runtime_error("gone");
            return 0;
        }
    } throwing;
    WaveRecording other(throwing, messages, files, shortPaths);
    EXPECT_NO_THROW(other.BeginRecording());
    EXPECT_EQ(throwing.Commands(), (Strings{"close all", kFormat, "record capture"}));
}

struct FormatCase {
    std::int16_t channels, bits;
    std::int32_t rate;
    const char* command;  // nullptr: nothing is sent
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.channels << " channels, " << c.bits << " bits, " << c.rate << " Hz";
}

class Format : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format, ComposesOrRefusesTheCommand) {
    CaptureHarness h;
    h.engine.SetCaptureFormat(GetParam().channels, GetParam().bits, GetParam().rate);
    if (GetParam().command == nullptr) {
        EXPECT_TRUE(h.mci.calls.empty());
    } else {
        ASSERT_EQ(h.mci.calls.size(), 1u);
        EXPECT_EQ(h.mci.calls[0].command, GetParam().command);
        EXPECT_EQ(h.mci.calls[0].length, 260u);
    }
    EXPECT_TRUE(h.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Format,
    ::testing::Values(
        FormatCase{2, 16, 44100, "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400"},
        FormatCase{1, 8, 22050, "set capture alignment 1 bitspersample 8 samplespersec 22050 channels 1 bytespersec 22050"},
        FormatCase{1, 12, 8000, "set capture alignment 2 bitspersample 12 samplespersec 8000 channels 1 bytespersec 16000"},
        FormatCase{1, 20, 8000, "set capture alignment 2 bitspersample 20 samplespersec 8000 channels 1 bytespersec 16000"},
        FormatCase{1, 28, 8000, "set capture alignment 4 bitspersample 28 samplespersec 8000 channels 1 bytespersec 32000"},
        FormatCase{-2, 16, 8000, "set capture alignment -4 bitspersample 16 samplespersec 8000 channels -2 bytespersec -32000"},
        FormatCase{2, 20000, 44100, nullptr},        // first product overflows 16 bits
        FormatCase{2, 16, 600000000, nullptr},       // byte rate overflows 32 bits
        FormatCase{1, 16, 1073741823, "set capture alignment 2 bitspersample 16 samplespersec 1073741823 channels 1 bytespersec 2147483646"}),
    [](const auto& info) {
        const FormatCase& c = info.param;
        auto name = [](long v) { return v < 0 ? "minus" + std::to_string(-v) : std::to_string(v); };
        return name(c.channels) + "x" + name(c.bits) + "at" + name(c.rate);
    });

}  // namespace
