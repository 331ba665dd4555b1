// SPDX-License-Identifier: MIT
// The capture logic on fakes: the commands it sends, the texts it makes of
// the answers and what it reports.
#include <gtest/gtest.h>

#include "capture/NumberText.h"
#include "capture/WaveRecording.h"
#include "tests/fakes/FakeCaptureServices.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {
namespace {

using Strings = std::vector<std::string>;

struct Capture {
    FakeMciChannel mci;
    FakeMessageBoxes messages;
    FakeFileSaving saving;
    WaveRecording capture{mci, messages, saving};
};

const std::string kOpen = "open new type waveaudio alias capture";
const std::string kFormat =
    "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400";

// Clearing is the one step whose failure is not reported.
TEST(WaveRecording, EachStepReportsItsOwnFailureAndRecordingGoesOnToTheNextCommand) {
    const struct {
        void (WaveRecording::*step)();
        Strings failing, sent, messages;
    } cases[] = {
        {&WaveRecording::BeginRecording, {"close all"}, {"close all"}, {"Closing all MCI operations failed!"}},
        {&WaveRecording::BeginRecording, {kOpen}, {"close all", kOpen}, {"Opening new wave failed!"}},
        {&WaveRecording::BeginRecording,
         {kFormat, "record capture"},
         {"close all", kOpen, kFormat, "record capture"},
         {"Settings for recording not consistent", "Recording not possible."}},
        {&WaveRecording::StopCapture, {"stop capture"}, {"stop capture"}, {"Stopping recording failed!"}},
        {&WaveRecording::PlayCapture,
         {"play capture from 0"},
         {"play capture from 0"},
         {"Start playing failed!\r\nClose other applications using multimedia."}},
        {&WaveRecording::CloseAllDevices, {"close all"}, {"close all"}, {}},
    };
    for (const auto& c : cases) {
        Capture h;
        for (const auto& command : c.failing) h.mci.Script(command, {{263, ""}});
        (h.capture.*c.step)();
        EXPECT_EQ(h.mci.calls, c.sent) << c.failing[0];
        EXPECT_EQ(h.messages.Texts(), c.messages) << c.failing[0];
    }
    Capture h;  // an open that throws still goes on to format and record
    h.mci.Script("close all", {{0, "", true}});
    EXPECT_NO_THROW(h.capture.BeginRecording());
    EXPECT_EQ(h.mci.calls, (Strings{"close all", kFormat, "record capture"}));
}

TEST(WaveRecording, TheFormatCommandIsComposedOrRefusedOnOverflow) {
    const struct {
        std::int16_t channels, bits;
        std::int32_t rate;
        Strings sent;
    } cases[] = {
        // Halves of the alignment go to the even neighbour.
        {1, 20, 8000, {"set capture alignment 2 bitspersample 20 samplespersec 8000 channels 1 bytespersec 16000"}},
        {1, 28, 8000, {"set capture alignment 4 bitspersample 28 samplespersec 8000 channels 1 bytespersec 32000"}},
        {2, 20000, 44100, {}},   // the bit count overflows 16 bits
        {2, 16, 600000000, {}},  // the byte rate overflows 32 bits
        {1, 16, 1073741823,
         {"set capture alignment 2 bitspersample 16 samplespersec 1073741823 channels 1 bytespersec 2147483646"}},
    };
    for (const auto& c : cases) {
        Capture h;
        h.capture.SetCaptureFormat(c.channels, c.bits, c.rate);
        EXPECT_EQ(h.mci.calls, c.sent) << c.channels << "x" << c.bits << " at " << c.rate;
        EXPECT_TRUE(h.messages.shown.empty());
    }
}

// The mode, and the order of the requests, show in the window's status line (tests/window).
TEST(WaveRecording, LengthTextShowsWhatEachAnswerHolds) {
    const struct {
        std::vector<FakeMciChannel::Answer> answers;  // milliseconds, then bytes
        std::string text;
    } cases[] = {
        {{{0, " 500 "}, {0, "88200"}}, "Length recording  0.5 s ( 88200 bytes)"},
        {{{0, "25000000"}, {0, "4410000000"}}, "Length recording  25000 s ( 4410000000 bytes)"},
        // A reply that is no number leaves its part out.
        {{{0, "twelve"}, {0, "2177280"}}, " ( 2177280 bytes)"},
        {{{0, "12345"}, {0, "lots"}}, "Length recording  12.345 s"},
        {{{0, "3000000000"}, {0, "1"}}, " ( 1 bytes)"},  // past 32 bits of milliseconds
        // A failed request neither: the seconds are not shown as bytes.
        {{{0, "12345"}, {263, ""}}, "Length recording  12.345 s"},
    };
    for (const auto& c : cases) {
        Capture h;
        h.mci.Script("status capture length", c.answers);
        EXPECT_EQ(h.capture.CaptureLengthText(), c.text);
        EXPECT_TRUE(h.messages.shown.empty());
    }
}

TEST(NumberText, BlankForTheSignPlainDecimalAtMostFifteenDigitsAndParsedWithBlanksAround) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {12.345, " 12.345"}, {60, " 60"}, {0.5, " 0.5"}, {0, " 0"}, {2177280, " 2177280"}, {-1.25, "-1.25"},
        {0.001, " 0.001"}, {1.0 / 3.0, " 0.333333333333333"}, {123456789012345678.0, " 123456789012346000"},
        {1e-7, " 0.0000001"}, {0.1 + 0.2, " 0.3"},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
    EXPECT_EQ(ParseWhole32("-7"), -7);
    for (const char* text : {"", "4 2", "42ms", "2147483648"}) EXPECT_FALSE(ParseWhole32(text)) << text;
    for (const char* text : {"1e5", "   "}) EXPECT_FALSE(ParseNumber(text)) << text;
}

TEST(WaveRecording, TheSaveTargetIsQuotedWhenItHasWhiteSpaceAndARefusalNamesTheUsersPath) {
    const struct {
        std::string path, beside;
        std::uint32_t code;
        std::string sent;
    } cases[] = {
        {"/my music/a b.wav", "", 0, "save capture \"/my music/a b.wav\""},
        {"/music/a\tb.wav", "", 0, "save capture \"/music/a\tb.wav\""},
        {"C:\\my music\\a.wav", "C:\\my music\\.tapelark-save-1.wav", 286,
         "save capture \"C:\\my music\\.tapelark-save-1.wav\""},
    };
    for (const auto& c : cases) {
        Capture h;
        h.saving.beside = c.beside;
        h.mci.Script(c.sent, {{c.code, ""}});
        h.capture.SaveCaptureAs(c.path);
        EXPECT_EQ(h.mci.calls, Strings{c.sent});
        EXPECT_EQ(h.messages.Texts(), c.code ? Strings{"Saving file failed, file name was: " + c.path} : Strings{});
    }
}

}  // namespace
}  // namespace tapelark::testing
