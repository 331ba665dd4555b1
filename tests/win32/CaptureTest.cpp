// SPDX-License-Identifier: MIT
// Saving a take on Wine: beside the user's file and over it, then through
// winmm's own waveaudio device.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/WaveRecording.h"
#include "platform/win32/Win32FileSaving.h"
#include "platform/win32/Win32MciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/mci/Take.h"
#include "tests/win32/WineHelpers.h"

namespace tapelark {
namespace {

using namespace tapelark::testing;
using Names = std::vector<std::string>;

TEST(FileTest, TheNewFileIsWrittenBesideAndTakesTheOldOnesPlaceWholeOrNotAtAll) {
    TempFolder folder{"tapelark files"};  // a blank in every path below
    const std::string path = folder / "take.wav", beside = folder / ".tapelark-save-1.wav";
    Win32FileSaving saving;
    Names targets;
    // A save that writes `contents` at the name it is given and answers `code`.
    const auto writes = [&targets](const std::string& contents, std::uint32_t code = 0) -> FileSaving::Save {
        return [&targets, contents, code](const std::string& target) {
            targets.push_back(target);
            WriteFile(target, contents);
            return code;
        };
    };
    EXPECT_EQ(saving.SaveAs(path, writes("first")), 0u);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteFile(beside, "what an earlier save left");
    EXPECT_EQ(saving.SaveAs(path, writes("second")), 0u);
    EXPECT_EQ(ReadFile(path), "second");
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(folder.Names(), Names{"take.wav"});

    // What winmm still holds is passed over.
    HANDLE held = CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_EQ(saving.SaveAs(path, writes("third")), 0u);
    CloseHandle(held);
    EXPECT_EQ(targets, (Names{beside, beside, folder / ".tapelark-save-2.wav"}));
    EXPECT_EQ(ReadFile(path), "third");

    // A refused save, a read-only old file (refused as winmm's own save
    // refuses it) and one in use keep the old file and leave nothing beside.
    targets.clear();
    EXPECT_EQ(saving.SaveAs(path, writes("a piece", MCIERR_FILE_NOT_SAVED)), MCIERR_FILE_NOT_SAVED);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(saving.SaveAs(path, writes("new")), MCIERR_FILE_NOT_SAVED);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(targets, Names{beside});
    held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_THAT([&] { saving.SaveAs(path, writes("new")); },
                ::testing::ThrowsMessage<FileError>(::testing::HasSubstr(path)));
    CloseHandle(held);
    EXPECT_EQ(ReadFile(path), "third");
    EXPECT_EQ(folder.Names(), Names{"take.wav"});
}

// A second of a loud 441 Hz tone as a stereo 16-bit 44.1 kHz WAVE file.
void WriteTone(const std::string& path) {
    std::string samples;
    for (int frame = 0; frame < 44100; ++frame) {
        const auto sample = static_cast<std::uint16_t>(16000 * std::sin(frame * 2 * 3.14159265 / 100));
        for (int channel = 0; channel < 2; ++channel) samples += {char(sample), char(sample >> 8)};
    }
    WriteFile(path, WaveBytes(kStereo16Bit44100, samples));
}

// The capture logic over winmm's waveaudio device against the tests' PulseAudio
// server, with a blank in every path. winmm holds a file it saved until the
// device closes: a save may leave that file beside the user's, hidden, until
// then. What was recorded shows only in a file saved (Wine's answers 0 for
// the length while it records, and plays nothing before a save).
TEST(MciSoundServerTest, RecordsWhatIsPlayedSavesItAsChosenAndKeepsTheProgramUpWhileTheDeviceRuns) {
    ASSERT_GT(waveInGetNumDevs(), 0u) << "no wave input: Wine's sound driver is off";
    TempFolder folder{"tapelark mci"}, tone{"tapelark tone"};
    const auto visible = [&folder] {
        Names names;
        for (const std::string& name : folder.Names())
            if (!(GetFileAttributesA((folder / name).c_str()) & FILE_ATTRIBUTE_HIDDEN)) names.push_back(name);
        return names;
    };
    const Names saved{"first take.wav", "take.wav"};
    const std::string old = folder / "take.wav", missing = folder / "missing folder\\take.wav";
    WriteFile(old, "an older file");
    WriteTone(tone / "tone.wav");
    {
        Win32MciChannel mci;
        Win32FileSaving files;
        FakeMessageBoxes messages;
        WaveRecording take{mci, messages, files};
        // Recording again (which closes all first), or clearing, while the
        // device records or plays must not bring the program down.
        for (int round = 0; round < 6; ++round) {
            take.BeginRecording();
            Sleep(500);
            EXPECT_EQ(take.CaptureModeText(), "recording") << "round " << round;
        }
        take.StopCapture();
        take.PlayCapture();
        take.BeginRecording();  // while playing back
        Sleep(300);
        EXPECT_EQ(take.CaptureModeText(), "recording");
        take.CloseAllDevices();  // Clear while recording

        ASSERT_TRUE(PlaySoundA((tone / "tone.wav").c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP));
        for (int round = 0; round < 2; ++round) {
            take.BeginRecording();  // closes the device of the round before
            Sleep(1000);
            take.StopCapture();
            EXPECT_EQ(take.CaptureModeText(), "stopped");
            // One take saved twice: winmm moves the file it saved last when
            // saving again (Wine's does), which must not be the user's first file.
            for (const char* name : {"take.wav", "first take.wav"}) take.SaveCaptureAs(folder / name);
            EXPECT_EQ(visible(), saved);
            EXPECT_LE(folder.Names().size(), saved.size() + 1) << "what an earlier save left is gone";
        }
        PlaySoundA(nullptr, nullptr, 0);
        take.SaveCaptureAs(missing);  // into a missing folder winmm saves nothing either
        EXPECT_EQ(messages.Texts(), Names{"Saving file failed, file name was: " + missing});
    }
    EXPECT_EQ(folder.Names(), saved);
    EXPECT_EQ(ReadFile(folder / "take.wav"), ReadFile(folder / "first take.wav"));
    const WaveFile wave = ReadWaveFile(folder / "take.wav");
    EXPECT_EQ(wave.format, kStereo16Bit44100);
    EXPECT_GT(wave.bytes.size(), 44100u) << "a good part of the second recorded";
    for (int channel : {0, 1}) {
        const Take take(folder / "take.wav", channel);
        EXPECT_GT(take.Peak(0, take.Seconds()), 8000 / 32768.0) << "the tone is in channel " << channel;
    }
}

}  // namespace
}  // namespace tapelark
