// SPDX-License-Identifier: MIT
// The capture engine over the Linux multimedia engine and the real file
// system: what a user's Record, Stop and Save leave on disk.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>

#include "tests/mci/FakeAudioBackend.h"
#include "capture/WaveRecording.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/linux/LinuxShortPaths.h"
#include "platform/mci/MciEngine.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/support/WaveFile.h"

namespace fs = std::filesystem;
using namespace tapelark;

namespace {

class CaptureOverEngine : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tapelark-capture-XXXXXX";
        dir = mkdtemp(pattern);
        fs::create_directories(dir + "/my music");
    }
    void TearDown() override { fs::remove_all(dir); }

    void RecordOneSecond() {
        capture.BeginRecording();
        audio->Record(176400);
        capture.StopCapture();
    }
    static long long Frames(const std::string& path) {
        const tapelark::testing::WaveFile wave = tapelark::testing::ReadWaveFile(path);
        if (!wave.problem.empty()) return -1;
        EXPECT_EQ(wave.format, tapelark::testing::kStereo16Bit44100);
        return static_cast<long long>(wave.bytes.size() / 4);
    }

    std::string dir;
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine mci{audio};
    tapelark::testing::FakeMessageBoxes messages;
    LinuxFileSystem files;
    LinuxShortPaths shortPaths;
    WaveRecording capture{mci, messages, files, shortPaths};
};

TEST_F(CaptureOverEngine, APathWithBlanksIsSavedUnderExactlyThatName) {
    RecordOneSecond();
    std::string path = dir + "/my music/first take.wav";
    capture.SaveCaptureAs(path);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Frames(path), 44100);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir + "/my music"), fs::directory_iterator{}), 1);
}

TEST_F(CaptureOverEngine, SavingOverAnOldTakeReplacesItAndKeepsItsPermissions) {
    std::string path = dir + "/my music/take.wav";
    std::ofstream(path) << "an older take";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    RecordOneSecond();
    capture.SaveCaptureAs(path);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Frames(path), 44100);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir + "/my music"), fs::directory_iterator{}), 1);
}

TEST_F(CaptureOverEngine, ASaveWithNothingRecordedKeepsTheOldTake) {
    std::string path = dir + "/my music/take.wav";
    std::ofstream(path) << "an older take";
    capture.BeginRecording();
    capture.StopCapture();  // stopped before any sound arrived
    capture.SaveCaptureAs(path);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Saving file failed, file name was: " + path}));
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "an older take");
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
        std::string mounted = dir + "/" + c.what;
        fs::create_directories(mounted);
        if (::mount("tapelark-test", mounted.c_str(), "tmpfs", 0, c.options) != 0)
            GTEST_SKIP() << "cannot mount a small file system here (needs root)";
        std::string path = mounted + "/take.wav";
        std::ofstream(path, std::ios::binary) << oldTake;
        if (c.readOnly) ::mount(nullptr, mounted.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
        messages.shown.clear();
        capture.SaveCaptureAs(path);
        std::string kept;
        {
            std::ifstream in(path, std::ios::binary);
            kept.assign(std::istreambuf_iterator<char>(in), {});
        }
        auto names = std::distance(fs::directory_iterator(mounted), fs::directory_iterator{});
        ::umount(mounted.c_str());
        EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Saving file failed, file name was: " + path}));
        EXPECT_TRUE(kept == oldTake);
        EXPECT_EQ(names, 1);
    }
}

TEST_F(CaptureOverEngine, StatusLineTextsOfARecording) {
    RecordOneSecond();
    EXPECT_EQ(capture.CaptureModeText(), "stopped");
    EXPECT_EQ(capture.CaptureLengthText(), "Length recording  1 s ( 176400 bytes)");
    capture.CloseAllDevices();
    EXPECT_EQ(capture.CaptureModeText(), "N/A");
    EXPECT_EQ(capture.CaptureLengthText(), "");
}

}  // namespace
