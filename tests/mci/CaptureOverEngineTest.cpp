// SPDX-License-Identifier: MIT
// The capture engine over the Linux multimedia engine and the real file
// system: what a user's Record, Stop and Save leave on disk.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>

#include "capture/WaveRecording.h"
#include "platform/linux/LinuxFileSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/mci/MciTestSupport.h"
#include "tests/support/FileContents.h"

namespace fs = std::filesystem;

namespace tapelark {
namespace {

class CaptureOverEngine : public ::testing::Test {
protected:
    void RecordOneSecond() {
        capture.BeginRecording();
        audio->Record(176400);
        capture.StopCapture();
    }

    TempFolder folder{"tapelark capture"};
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine mci{audio};
    testing::FakeMessageBoxes messages;
    LinuxFileSystem files;
    WaveRecording capture{mci, messages, files};
};

TEST_F(CaptureOverEngine, SavingOverAnOldTakeUnderANameWithBlanksKeepsItsPermissions) {
    const std::string path = folder / "first take.wav";
    const fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    testing::WriteFile(path, "an older take");
    fs::permissions(path, perms);
    RecordOneSecond();
    EXPECT_EQ(capture.CaptureModeText(), "stopped");
    EXPECT_EQ(capture.CaptureLengthText(), "Length recording  1 s ( 176400 bytes)");
    capture.SaveCaptureAs(path);
    EXPECT_TRUE(messages.shown.empty());
    const WaveFile wave = ReadWaveFile(path);
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    EXPECT_EQ(wave.bytes.size(), 176400u);
    EXPECT_EQ(fs::status(path).permissions(), perms);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"first take.wav"});
    capture.CloseAllDevices();
    EXPECT_EQ(capture.CaptureModeText(), "N/A");
    EXPECT_EQ(capture.CaptureLengthText(), "");
}

TEST_F(CaptureOverEngine, AFailedSaveOverAnOldTakeLeavesItAsItWasAndNothingBeside) {
    struct Case {
        const char* what;
        const char* options;
        bool readOnly;
    } cases[] = {{"full disk", "size=64k", false}, {"read-only file system", "size=1m", true}};
    RecordOneSecond();  // more than the small disk holds
    const std::string oldTake(20000, 'o');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string mounted = folder / c.what, path = mounted + "/take.wav";
        fs::create_directories(mounted);
        if (::mount("tapelark-test", mounted.c_str(), "tmpfs", 0, c.options) != 0)
            GTEST_SKIP() << "cannot mount a small file system here (needs root)";
        testing::WriteFile(path, oldTake);
        if (c.readOnly) ::mount(nullptr, mounted.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
        messages.shown.clear();
        capture.SaveCaptureAs(path);
        const bool kept = testing::ReadFile(path) == oldTake;
        const auto names = std::distance(fs::directory_iterator(mounted), {});
        ::umount(mounted.c_str());
        EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Saving file failed, file name was: " + path});
        EXPECT_TRUE(kept);
        EXPECT_EQ(names, 1);
    }
}

}  // namespace
}  // namespace tapelark
