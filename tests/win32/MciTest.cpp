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
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32MciChannel.h"
#include "platform/win32/Win32ShortPaths.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}
std::uint16_t U16(const std::string& bytes, std::size_t at) {
    std::uint16_t value = 0;
    std::memcpy(&value, bytes.data() + at, 2);
    return value;
}

// Walks the RIFF chunks; every failure names what is wrong with the file.
void ExpectStereo16Bit44100(const std::string& file) {
    ASSERT_GE(file.size(), 44u);
    ASSERT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(file, 4), file.size() - 8);
    ASSERT_EQ(file.substr(8, 4), "WAVE");
    bool sawFormat = false, sawData = false;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::string id = file.substr(at, 4);
        const std::uint32_t size = U32(file, at + 4);
        ASSERT_LE(at + 8 + size, file.size()) << "chunk " << id << " runs past the end";
        if (id == "fmt ") {
            ASSERT_GE(size, 16u);
            EXPECT_EQ(U16(file, at + 8), 1) << "PCM";
            EXPECT_EQ(U16(file, at + 10), 2) << "channels";
            EXPECT_EQ(U32(file, at + 12), 44100u) << "samples per second";
            EXPECT_EQ(U32(file, at + 16), 176400u) << "bytes per second";
            EXPECT_EQ(U16(file, at + 20), 4) << "block alignment";
            EXPECT_EQ(U16(file, at + 22), 16) << "bits per sample";
            sawFormat = true;
        } else if (id == "data") {
            EXPECT_TRUE(sawFormat) << "the format comes before the samples";
            EXPECT_EQ(size % 4, 0u) << "whole sample frames";
            sawData = true;
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_TRUE(sawFormat);
    EXPECT_TRUE(sawData);
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
