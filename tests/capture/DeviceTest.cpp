// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "tests/capture/Harness.h"

namespace tapelark::testing {
namespace {

using Strings = std::vector<std::string>;

const std::string kOpen = "open new type waveaudio alias capture";
const std::string kFormat =
    "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400";

TEST(Device, RecordingSendsFourCommandsAndReportsEachFailureInTurn) {
    const struct {
        Strings failing;
        Strings sent, messages;
    } cases[] = {
        {{"close all"}, {"close all"}, {"Closing all MCI operations failed!"}},
        {{kOpen}, {"close all", kOpen}, {"Opening new wave failed!"}},
        {{kFormat, "record capture"},
         {"close all", kOpen, kFormat, "record capture"},
         {"Settings for recording not consistent", "Recording not possible."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing[0]);
        CaptureHarness h;
        for (const auto& command : c.failing) h.mci.Fail(command);
        h.capture.BeginRecording();
        EXPECT_EQ(h.mci.calls, c.sent);
        EXPECT_EQ(h.messages.Texts(), c.messages);
    }
}

TEST(Device, AnOpenThatThrowsStillGoesOnToFormatAndRecord) {
    CaptureHarness h;
    h.mci.Script("close all", {{0, "", true}});
    EXPECT_NO_THROW(h.capture.BeginRecording());
    EXPECT_EQ(h.mci.calls, (Strings{"close all", kFormat, "record capture"}));
}

TEST(Device, StopPlayAndClearReportTheirOwnFailures) {
    CaptureHarness h;
    for (const char* command : {"stop capture", "play capture from 0", "close all"}) h.mci.Fail(command);
    h.capture.StopCapture();
    h.capture.PlayCapture();
    h.capture.CloseAllDevices();
    EXPECT_EQ(h.mci.calls, (Strings{"stop capture", "play capture from 0", "close all"}));
    EXPECT_EQ(h.messages.Texts(), (Strings{"Stopping recording failed!",
                                           "Start playing failed!\r\nClose other applications using multimedia."}));
}

TEST(Device, TheFormatCommandIsComposedOrRefusedOnOverflow) {
    const struct {
        std::int16_t channels, bits;
        std::int32_t rate;
        Strings sent;
    } cases[] = {
        {1, 8, 22050, {"set capture alignment 1 bitspersample 8 samplespersec 22050 channels 1 bytespersec 22050"}},
        // Halves of the alignment go to the even neighbour.
        {1, 20, 8000, {"set capture alignment 2 bitspersample 20 samplespersec 8000 channels 1 bytespersec 16000"}},
        {1, 28, 8000, {"set capture alignment 4 bitspersample 28 samplespersec 8000 channels 1 bytespersec 32000"}},
        {2, 20000, 44100, {}},   // the bit count overflows 16 bits
        {2, 16, 600000000, {}},  // the byte rate overflows 32 bits
        {1, 16, 1073741823,
         {"set capture alignment 2 bitspersample 16 samplespersec 1073741823 channels 1 bytespersec 2147483646"}},
    };
    for (const auto& c : cases) {
        CaptureHarness h;
        h.capture.SetCaptureFormat(c.channels, c.bits, c.rate);
        EXPECT_EQ(h.mci.calls, c.sent) << c.channels << "x" << c.bits << " at " << c.rate;
        EXPECT_TRUE(h.messages.shown.empty());
    }
}

}  // namespace
}  // namespace tapelark::testing
