// The capture engine over the Linux multimedia engine and the real file
// system: what a user's Record, Stop and Save leave on disk.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "FakeAudioBackend.h"
#include "capture/WaveRecording.h"
#include "platform/linux/LinuxFileServices.h"
#include "platform/linux/LinuxShortPath.h"
#include "platform/mci/MciEngine.h"
#include "tests/fakes/FakeMessageBox.h"

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
    static sf_count_t Frames(const std::string& path) {
        SF_INFO info{};
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        if (!f) return -1;
        sf_close(f);
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.samplerate, 44100);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        return info.frames;
    }

    std::string dir;
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine mci{audio};
    tapelark::testing::FakeMessageBox messages;
    LinuxFileServices files;
    LinuxShortPath shortPaths;
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

TEST_F(CaptureOverEngine, SavingOverAnOldTakeReplacesIt) {
    std::string path = dir + "/my music/take.wav";
    std::ofstream(path) << "an older take";
    RecordOneSecond();
    capture.SaveCaptureAs(path);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Frames(path), 44100);
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

TEST_F(CaptureOverEngine, StatusLineTextsOfARecording) {
    RecordOneSecond();
    EXPECT_EQ(capture.CaptureModeText(), "stopped");
    EXPECT_EQ(capture.CaptureLengthText(), "Length recording  1 s ( 176400 bytes)");
    capture.CloseAllDevices();
    EXPECT_EQ(capture.CaptureModeText(), "N/A");
    EXPECT_EQ(capture.CaptureLengthText(), "");
}

}  // namespace
