// SPDX-License-Identifier: MIT
// The capture engine over winmm's own waveaudio device, as Wine provides it.
// The tests' Wine has no sound driver, so the device records nothing: this
// checks the calls and the file format; what a recording hears is tested on Linux.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "capture/WaveRecording.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/support/WaveFile.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MciChannel.h"
#include "platform/win32/Win32ShortPaths.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

// A sound stereo 16-bit 44.1 kHz WAVE file; a failure names what is wrong with it.
void ExpectStereo16Bit44100(const std::string& file) {
    const testing::WaveFile wave = testing::ParseWave(file);
    ASSERT_EQ(wave.problem, "");
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
}

class MciTest : public ::testing::Test {
protected:
    void TearDown() override { capture.CloseAllDevices(); }

    ScratchFolder folder{"tapelark mci"};
    Win32MciChannel mci;
    Win32FileSystem files;
    Win32ShortPaths shortPaths;
    testing::FakeMessageBoxes messages;
    WaveRecording capture{mci, messages, files, shortPaths};
};

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

TEST_F(MciTest, RecordsStopsAndSavesAWaveFileInTheSetFormat) {
    capture.BeginRecording();
    EXPECT_TRUE(messages.shown.empty()) << "open, format and record: " << messages.shown.front().text;
    EXPECT_NE(capture.CaptureModeText(), "N/A");
    capture.StopCapture();
    EXPECT_EQ(capture.CaptureModeText(), "stopped");
    EXPECT_NE(capture.CaptureLengthText().find(" bytes)"), std::string::npos);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "tapelark-take-" +
                             std::to_string(GetCurrentProcessId()) + ".wav";
    capture.SaveCaptureAs(path);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    ExpectStereo16Bit44100(ReadFile(path));
    DeleteFileA(path.c_str());
}

// However the command carries a path with a blank, the file must end up
// under the name the user chose, not under a short alias of it.
using SaveToPathWithBlankTest = MciTest;

TEST_F(SaveToPathWithBlankTest, ANewFileWithABlankInItsPathIsSavedUnderTheChosenName) {
    capture.BeginRecording();
    capture.StopCapture();
    const std::string path = folder / "first take.wav";
    capture.SaveCaptureAs(path);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    EXPECT_EQ(NamesIn(folder.path()), std::vector<std::string>{"first take.wav"});
    ExpectStereo16Bit44100(ReadFile(path));
}

// winmm keeps a file it saved open until the device closes; the only thing
// a save over a file may leave beside it is that file, hidden, until the
// next save there.
std::vector<std::string> VisibleNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const std::string& name : NamesIn(folder))
        if (!(GetFileAttributesA((folder + "\\" + name).c_str()) & FILE_ATTRIBUTE_HIDDEN)) names.push_back(name);
    return names;
}

TEST_F(MciTest, SavingOverAnOldFileReplacesItAndLeavesNothingInSight) {
    const std::string path = folder / "take.wav";
    WriteFile(path, "an older file");
    for (int save = 0; save < 2; ++save) {
        capture.BeginRecording();  // closes the device of the save before
        capture.StopCapture();
        capture.SaveCaptureAs(path);
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
        ExpectStereo16Bit44100(ReadFile(path));
        EXPECT_EQ(VisibleNamesIn(folder.path()), std::vector<std::string>{"take.wav"});
        EXPECT_LE(NamesIn(folder.path()).size(), 2u) << "what an earlier save left is gone";
    }
}

TEST_F(MciTest, AFailedSaveOverAnOldFileLeavesIt) {
    const std::string path = folder / "take.wav";
    WriteFile(path, "an older file");

    // The multimedia system refuses the save: no device.
    capture.CloseAllDevices();
    capture.SaveCaptureAs(path);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Saving file failed, file name was: " + path});
    EXPECT_EQ(ReadFile(path), "an older file");
    EXPECT_EQ(NamesIn(folder.path()), std::vector<std::string>{"take.wav"});

    // The old file is in use elsewhere, so the new one cannot take its place.
    capture.BeginRecording();
    capture.StopCapture();
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(capture.SaveCaptureAs(path), FileError);
    CloseHandle(held);
    EXPECT_EQ(ReadFile(path), "an older file");
    EXPECT_EQ(VisibleNamesIn(folder.path()), std::vector<std::string>{"take.wav"});
}

TEST_F(MciTest, ARefusedSaveIsReportedWithThePathAsGiven) {
    capture.BeginRecording();
    capture.StopCapture();
    const std::string nowhere =
        "C:\\no-such-folder-" + std::to_string(GetCurrentProcessId()) + "\\take.wav";
    capture.SaveCaptureAs(nowhere);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Saving file failed, file name was: " + nowhere);
    EXPECT_EQ(messages.shown[0].caption, "Tapelark");
    EXPECT_EQ(messages.shown[0].style, kStyleOk);
}

TEST_F(MciTest, AMissingFolderWithABlankSavesNothingAndSaysSo) {
    capture.BeginRecording();
    capture.StopCapture();
    const std::string path = folder / "missing folder\\take.wav";
    bool told = false;
    try {
        capture.SaveCaptureAs(path);
        told = messages.shown.size() == 1 &&
               messages.shown[0].text == "Saving file failed, file name was: " + path;
    } catch (const FileError&) {
        told = messages.shown.empty();  // the save command reports it
    }
    EXPECT_TRUE(told);
    EXPECT_TRUE(NamesIn(folder.path()).empty());
}

TEST_F(MciTest, WithoutADeviceTheStatusSaysSoAndCommandsReportTheirFailure) {
    capture.CloseAllDevices();
    EXPECT_EQ(capture.CaptureModeText(), "N/A");
    EXPECT_EQ(capture.CaptureLengthText(), "");
    capture.StopCapture();
    capture.PlayCapture();
    EXPECT_EQ(messages.shown.size(), 2u);
}

}  // namespace
}  // namespace tapelark
