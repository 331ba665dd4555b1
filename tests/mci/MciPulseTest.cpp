// SPDX-License-Identifier: MIT
// The engine against a real PulseAudio server: what the null sink plays is
// what its monitor, the default source, records.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "tests/mci/MciTestSupport.h"
#include "tests/mci/ScopedEnv.h"
#include "tests/mci/SoundPlayers.h"
#include "tests/mci/Take.h"

namespace tapelark {
namespace {

// Waits for a state the sound server brings about; gives up after a
// generous while so a broken engine fails instead of hanging.
bool Eventually(const std::function<bool()>& reached, int seconds = 30) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!reached()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A 2 s tone at 440 Hz and half of full scale, heard whole in the take.
void ExpectTheTone(const Take& take) {
    const double on = take.Onset(), off = take.End();
    EXPECT_NEAR(off - on, 2.0, 0.2);
    EXPECT_NEAR(take.Strength(440, on + 0.05, off - 0.05), 0.5, 0.02);
    EXPECT_NEAR(take.Peak(on, off), 0.5, 0.02);
}

std::uint64_t LengthInBytes(MciEngine& engine) {
    EXPECT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
    return std::stoull("0" + Mci(engine, "status capture length").second);
}

std::string Mode(MciEngine& engine) { return Mci(engine, "status capture mode").second; }

class MciPulseTest : public ::testing::Test {
protected:
    TempFolder folder;
    MciEngine engine;

    void SetUp() override {
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr) << "run through ctest: it starts the server";
        ASSERT_TRUE(MakeTone(folder / "tone.wav", 440, 2, 0.5));
    }
};

TEST_F(MciPulseTest, RecordsAToneFromTheMonitorSavesItAndPlaysItBack) {
    // Recorded while paplay plays the tone into the null sink, and a little after.
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    ASSERT_EQ(Mode(engine), "recording");
    EXPECT_EQ(Mci(engine, "status capture input").second, "default (silent)");
    ASSERT_EQ(std::system(("paplay '" + (folder / "tone.wav") + "'").c_str()), 0);
    EXPECT_EQ(Mci(engine, "status capture input").second, "default (hearing)");
    const std::uint64_t played = LengthInBytes(engine);
    ASSERT_TRUE(Eventually([&] { return LengthInBytes(engine) > played + 176400 / 2; })) << "stopped growing";
    const std::string soFar = folder / "so far.wav", path = folder / "my take.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + soFar), 0u);
    EXPECT_EQ(Mode(engine), "recording");
    const std::uint64_t saved = ReadWaveFile(soFar).bytes.size();
    ExpectTheTone(Take(soFar));
    ASSERT_TRUE(Eventually([&] { return LengthInBytes(engine) > saved + 17640; })) << "saving stopped it";

    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(Mode(engine), "stopped");
    const std::uint64_t bytes = LengthInBytes(engine);
    ASSERT_EQ(MciCode(engine, "set capture time format ms"), 0u);
    EXPECT_EQ(Mci(engine, "status capture length").second, std::to_string(bytes * 1000 / 176400));
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    const WaveFile wave = ReadWaveFile(path);
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    EXPECT_EQ(wave.bytes.size(), bytes);
    for (int channel : {0, 1}) {
        SCOPED_TRACE(channel);
        ExpectTheTone(Take(path, channel));
    }

    // A second device listens at the monitor to what the first one plays.
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias listen"), 0u);
    ASSERT_EQ(MciCode(engine, "set listen bitspersample 16 samplespersec 44100 channels 2"), 0u);
    ASSERT_EQ(MciCode(engine, "record listen"), 0u);
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u);
    EXPECT_EQ(Mode(engine), "playing");
    EXPECT_TRUE(Eventually([&] { return Mode(engine) == "stopped"; }, 60)) << "playback never ended";
    ASSERT_EQ(MciCode(engine, "stop listen"), 0u);
    ASSERT_EQ(MciCode(engine, "save listen " + (folder / "heard.wav")), 0u);
    ExpectTheTone(Take(folder / "heard.wav", 1));

    // "wait" returns once played out.
    ASSERT_EQ(MciCode(engine, "play capture from 1500 wait"), 0u);
    EXPECT_EQ(Mode(engine), "stopped");
    const std::string length = Mci(engine, "status capture length").second;
    EXPECT_EQ(Mci(engine, "status capture position").second, length);

    // "notify" reports from the server's thread once played out, also after
    // a pause and a resume on a new stream. The pause comes a second and a
    // half before the end, so a slow server has not already taken all of it.
    std::atomic<int> successful{0};
    engine.SetNotifySink([&](std::uintptr_t, const std::string&, MciNotify result) {
        if (result == MciNotify::Successful) ++successful;
    });
    const std::uint64_t ms = std::stoull(length);
    ASSERT_EQ(Mci(engine, "play capture from " + std::to_string(ms - 500) + " notify", 1).first, 0u);
    EXPECT_TRUE(Eventually([&] { return successful == 1; }, 10)) << "no notification when played out";
    ASSERT_EQ(Mci(engine, "play capture from " + std::to_string(ms - 1500) + " notify", 1).first, 0u);
    ASSERT_EQ(MciCode(engine, "pause capture"), 0u);
    EXPECT_EQ(Mode(engine), "paused");
    ASSERT_EQ(MciCode(engine, "resume capture"), 0u);
    EXPECT_EQ(Mode(engine), "playing");
    EXPECT_TRUE(Eventually([&] { return successful == 2; }, 10)) << "a resumed play never ended";
    EXPECT_EQ(Mci(engine, "status capture position").second, length);
}

TEST_F(MciPulseTest, PauseAndResumeLoseNothingAndThePositionIsWhatWasHeard) {
    // The capture device hears at the monitor what the tone device plays,
    // paused four times.
    ChildProcess listener = Listener("null.monitor");
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "open \"" + (folder / "tone.wav") + "\" alias tone"), 0u);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    ASSERT_TRUE(Eventually([&] { return LengthInBytes(engine) > 176400 / 2; }));  // the listener runs
    ASSERT_EQ(MciCode(engine, "play tone"), 0u);
    std::vector<double> positions;  // at each pause, in seconds
    for (int i = 0; i < 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(MciCode(engine, "pause tone"), 0u);
        positions.push_back(std::stod(Mci(engine, "status tone position").second) / 1000);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(MciCode(engine, "resume tone"), 0u);
    }
    ASSERT_TRUE(Eventually([&] { return Mci(engine, "status tone mode").second == "stopped"; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    ASSERT_EQ(MciCode(engine, "save capture " + (folder / "heard.wav")), 0u);
    // How much of the tone was heard before each gap, in steps of 10 ms.
    const Take take(folder / "heard.wav");
    std::vector<double> heardBeforeGaps;
    double heard = 0, quiet = 0;
    for (double at = take.Onset(); at < take.Seconds(); at += 0.01) {
        const bool loud = take.Peak(at, at + 0.01) > 0.25;
        if (loud && quiet >= 0.1) heardBeforeGaps.push_back(heard);
        quiet = loud ? 0 : quiet + 0.01;
        heard += loud ? 0.01 : 0;
    }
    EXPECT_NEAR(heard, 2.0, 0.1) << "nothing lost, nothing twice";
    ASSERT_EQ(heardBeforeGaps.size(), positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) EXPECT_NEAR(heardBeforeGaps[i], positions[i], 0.06) << i;
}

// With no file handle left the cause is said, not a missing server.
TEST_F(MciPulseTest, NoInputOrNoFileHandlesIsAnErrorNotAHang) {
    auto bare = OwnPulseServer(folder / "bare", false);
    ASSERT_TRUE(bare);
    struct Case {
        std::string server;
        bool handlesUsedUp;
        std::uint32_t code;
    } cases[] = {{"unix:" + (folder / "bare/native"), false, mcierr::kNoInput},
                 {std::getenv("PULSE_SERVER"), true, mcierr::kTooManyOpenFiles}};
    for (const Case& c : cases) {
        ScopedEnv address("PULSE_SERVER", c.server);
        MciEngine own;
        OpenCaptureDevice(own);
        std::vector<int> held;
        for (int fd; c.handlesUsedUp && (fd = ::open("/dev/null", O_RDONLY)) >= 0;) held.push_back(fd);
        EXPECT_EQ(MciCode(own, "record capture"), c.code) << c.server;
        for (int fd : held) ::close(fd);
        EXPECT_EQ(Mci(own, "status capture mode").second, "stopped");
        EXPECT_EQ(MciCode(own, "stop capture"), 0u);
    }
}

}  // namespace
}  // namespace tapelark
