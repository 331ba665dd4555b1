// SPDX-License-Identifier: MIT
// The capture logic over winmm's own waveaudio device, as Wine provides it:
// MciTest without a sound driver (the device records nothing), checking the
// calls and the files; MciSoundServerTest with the tests' PulseAudio server.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "capture/WaveRecording.h"
#include "platform/win32/Win32FileSaving.h"
#include "platform/win32/Win32MciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/support/WaveFile.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using testing::ReadFile;
using Names = std::vector<std::string>;

// A sound stereo 16-bit 44.1 kHz WAVE file; a failure names what is wrong with it.
void ExpectStereo16Bit44100(const std::string& path) {
    const testing::WaveFile wave = testing::ParseWave(ReadFile(path));
    ASSERT_EQ(wave.problem, "");
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
}

class MciTest : public ::testing::Test {
protected:
    void TearDown() override { capture.CloseAllDevices(); }

    // winmm holds a file it saved until the device closes: a save may leave
    // that file beside the user's, hidden, until then.
    Names VisibleNames() const {
        Names names;
        for (const std::string& name : folder.Names())
            if (!(GetFileAttributesA((folder / name).c_str()) & FILE_ATTRIBUTE_HIDDEN)) names.push_back(name);
        return names;
    }

    testing::TempFolder folder{"tapelark-mci"};
    Win32MciChannel mci;
    Win32FileSaving files;
    testing::FakeMessageBoxes messages;
    WaveRecording capture{mci, messages, files};
};

// A path with a blank goes into the command in quotes; the file must end up
// under the name the user chose, not under a short alias of it. What winmm
// held goes when the program ends with the device still open.
TEST_F(MciTest, RecordsStopsAndSavesUnderTheChosenNamesAndNothingIntoAMissingFolder) {
    {
        Win32MciChannel ending;
        WaveRecording take{ending, messages, files};
        take.BeginRecording();
        EXPECT_NE(take.CaptureModeText(), "N/A");
        take.StopCapture();
        EXPECT_EQ(take.CaptureModeText(), "stopped");
        EXPECT_NE(take.CaptureLengthText().find(" bytes)"), std::string::npos);

        // One take saved twice: winmm moves the file it saved last when saving
        // again (Wine's does), which must not be the user's first file.
        for (const char* name : {"take.wav", "first take.wav"}) take.SaveCaptureAs(folder / name);
        // Into a missing folder nothing is saved, and the user is told (and of nothing else).
        Names told;
        for (const std::string& path : {folder / "missing\\take.wav", folder / "missing folder\\take.wav"}) {
            take.SaveCaptureAs(path);
            told.push_back("Saving file failed, file name was: " + path);
        }
        EXPECT_EQ(messages.Texts(), told);
    }
    EXPECT_EQ(folder.Names(), (Names{"first take.wav", "take.wav"}));
    for (const char* name : {"take.wav", "first take.wav"}) ExpectStereo16Bit44100(folder / name);
    EXPECT_EQ(ReadFile(folder / "take.wav"), ReadFile(folder / "first take.wav"));
}

TEST_F(MciTest, SavingOverAnOldFileReplacesItWholeOrNotAtAll) {
    const std::string path = folder / "old take.wav";
    testing::WriteFile(path, "an older file");
    for (int save = 0; save < 2; ++save) {
        capture.BeginRecording();  // closes the device of the save before
        capture.StopCapture();
        capture.SaveCaptureAs(path);
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
        ExpectStereo16Bit44100(path);
        EXPECT_EQ(VisibleNames(), Names{"old take.wav"});
        EXPECT_LE(folder.Names().size(), 2u) << "what an earlier save left is gone";
    }

    // The old file is in use elsewhere, so the new one cannot take its place.
    const std::string old = ReadFile(path);
    capture.BeginRecording();
    capture.StopCapture();
    std::ifstream held(path);
    EXPECT_THROW(capture.SaveCaptureAs(path), FileError);
    held.close();
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(VisibleNames(), Names{"old take.wav"});

    // Without a device the multimedia system refuses the save.
    capture.CloseAllDevices();
    EXPECT_EQ(capture.CaptureModeText(), "N/A");
    capture.SaveCaptureAs(path);
    EXPECT_EQ(messages.Texts(), Names{"Saving file failed, file name was: " + path});
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(folder.Names(), Names{"old take.wav"});
}

using MciSoundServerTest = MciTest;

// A second of a loud 441 Hz tone as a stereo 16-bit 44.1 kHz WAVE file.
void WriteTone(const std::string& path) {
    std::string samples;
    for (int frame = 0; frame < 44100; ++frame) {
        const auto sample = static_cast<std::uint16_t>(16000 * std::sin(frame * 2 * 3.14159265 / 100));
        for (int channel = 0; channel < 2; ++channel) samples += {char(sample), char(sample >> 8)};
    }
    const auto u32 = [](std::size_t n) { return std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)}; };
    testing::WriteFile(path, "RIFF" + u32(36 + samples.size()) + "WAVEfmt " + u32(16) + std::string("\1\0\2\0", 4) +
                                 u32(44100) + u32(176400) + std::string("\4\0\x10\0", 4) + "data" +
                                 u32(samples.size()) + samples);
}

// Wine's waveaudio answers a length of 0 while it records, and plays nothing
// before a save: what was recorded shows only in the file saved.
TEST_F(MciSoundServerTest, RecordsWhatIsPlayedAndKeepsTheProgramUpWhileTheDeviceRuns) {
    ASSERT_GT(waveInGetNumDevs(), 0u) << "no wave input: Wine's sound driver is off";
    WriteTone(folder / "tone.wav");
    ASSERT_TRUE(PlaySoundA((folder / "tone.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP));
    capture.BeginRecording();
    Sleep(1000);
    capture.StopCapture();
    PlaySoundA(nullptr, nullptr, 0);
    capture.SaveCaptureAs(folder / "take.wav");
    const testing::WaveFile take = testing::ParseWave(ReadFile(folder / "take.wav"));
    ASSERT_EQ(take.problem, "");
    EXPECT_GT(take.bytes.size(), 44100u) << "a good part of the second recorded";
    int loudest = 0;
    for (std::size_t at = 0; at + 1 < take.bytes.size(); at += 2)
        loudest = std::max(loudest, std::abs(static_cast<std::int16_t>(take.bytes[at] | take.bytes[at + 1] << 8)));
    EXPECT_GT(loudest, 8000) << "the tone is in the take";

    // Recording again (which closes all first), or clearing, while the device
    // records or plays must not bring the program down.
    for (int round = 0; round < 6; ++round) {
        capture.BeginRecording();
        Sleep(500);
        EXPECT_EQ(capture.CaptureModeText(), "recording") << "round " << round;
    }
    capture.StopCapture();
    capture.PlayCapture();
    capture.BeginRecording();  // while playing back
    Sleep(300);
    EXPECT_EQ(capture.CaptureModeText(), "recording");
    capture.CloseAllDevices();  // Clear while recording
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
}

}  // namespace
}  // namespace tapelark
