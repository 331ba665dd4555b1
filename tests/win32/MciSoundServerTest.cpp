// SPDX-License-Identifier: MIT
// The capture engine over winmm with Wine's PulseAudio driver on, against the
// tests' private server: recording again, or clearing, while the device
// records or plays must not bring the program down.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include "capture/WaveRecording.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MciChannel.h"
#include "platform/win32/Win32ShortPaths.h"

namespace tapelark {
namespace {

TEST(MciSoundServerTest, RecordingAgainOrClearingWhileTheDeviceRunsKeepsTheProgramUp) {
    ASSERT_GT(waveInGetNumDevs(), 0u) << "no wave input: Wine's sound driver is off";
    Win32MciChannel mci;
    Win32FileSystem files;
    Win32ShortPaths shortPaths;
    testing::FakeMessageBoxes messages;
    WaveRecording capture{mci, messages, files, shortPaths};

    for (int round = 0; round < 6; ++round) {
        capture.BeginRecording();  // "close all" first, with the last round still recording
        Sleep(500);
        EXPECT_EQ(capture.CaptureModeText(), "recording") << "round " << round;
    }
    capture.CloseAllDevices();  // Clear while recording

    capture.BeginRecording();
    Sleep(700);
    capture.StopCapture();
    capture.PlayCapture();
    capture.BeginRecording();  // Record while playing back
    Sleep(300);
    EXPECT_EQ(capture.CaptureModeText(), "recording");
    capture.CloseAllDevices();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
}

}  // namespace
}  // namespace tapelark
