// SPDX-License-Identifier: MIT
// The capture logic over the Linux multimedia engine and the real file
// system, as the Linux window composes them.
#include <gtest/gtest.h>

#include "capture/WaveRecording.h"
#include "platform/mci/EngineFileSaving.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

using CaptureOverEngine = MciFakeServerTest;

TEST_F(CaptureOverEngine, RecordStopAndARefusedSavesReasonOnStandardError) {
    testing::FakeMessageBoxes messages;
    EngineFileSaving saving;
    WaveRecording capture{engine, messages, saving};

    capture.BeginRecording();
    EXPECT_EQ(capture.CaptureHearsSound(), false);
    audio->Record(176400);
    EXPECT_EQ(capture.CaptureHearsSound(), true);
    capture.StopCapture();
    EXPECT_EQ(capture.CaptureModeText(), "stopped");
    EXPECT_EQ(capture.CaptureLengthText(), "Length recording  1 s ( 176400 bytes)");
    const std::string missing = folder / "missing/take.wav";
    ::testing::internal::CaptureStderr();
    capture.SaveCaptureAs(missing);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tapelark: " + missing + " was not saved: " + MciErrorText(mcierr::kFolderMissing) + "\n");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Saving file failed, file name was: " + missing});
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
}  // namespace tapelark
