// SPDX-License-Identifier: MIT
// The engine against a real PulseAudio server: what the null sink plays is
// what its monitor, the default source, records.
#include <gtest/gtest.h>

#include <atomic>

#include "tests/mci/MciTestSupport.h"
#include "tests/mci/Take.h"

namespace tapelark {
namespace {

// A 2 s tone at 440 Hz and half of full scale, heard whole in the take.
void ExpectTheTone(const Take& take) {
    const double on = take.Onset(), off = take.End();
    EXPECT_NEAR(off - on, 2.0, 0.2);
    EXPECT_NEAR(take.Strength(440, on + 0.05, off - 0.05), 0.5, 0.02);
    EXPECT_NEAR(take.Peak(on, off), 0.5, 0.02);
}

using MciPulseTest = MciServerTest;

TEST_F(MciPulseTest, RecordsAToneFromTheMonitorAndSavesItWhileRecordingAndAfter) {
    // Recorded while paplay plays the tone into the null sink, and a little after.
    const std::string tone = Tone(440, 2, 0.5);
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    EXPECT_EQ(Status("input"), "default (silent)");
    ASSERT_EQ(std::system(("paplay '" + tone + "'").c_str()), 0);
    EXPECT_EQ(Status("input"), "default (hearing)");
    const std::uint64_t played = LengthInBytes();
    ASSERT_TRUE(Eventually([&] { return LengthInBytes() > played + 176400 / 2; })) << "stopped growing";
    const std::string soFar = folder / "so far.wav", path = folder / "my take.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + soFar), 0u);
    ExpectTheTone(Take(soFar));

    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    const std::uint64_t bytes = LengthInBytes();
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    EXPECT_EQ(ReadWaveFile(path).bytes.size(), bytes);
    for (int channel : {0, 1}) {
        SCOPED_TRACE(channel);
        ExpectTheTone(Take(path, channel));
    }
}

// The capture device hears at the monitor what the tone device plays, paused
// four times: nothing is lost, the position at each pause is what was heard,
// and "notify" reports from the server's thread once the tone is played out.
TEST_F(MciPulseTest, APausedPlayLosesNothingKeepsThePositionHeardAndNotifiesAtItsEnd) {
    ChildProcess listener = Listener("null.monitor");
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "open \"" + Tone(440, 2, 0.5) + "\" alias tone"), 0u);
    std::atomic<int> successful{0};
    engine.SetNotifySink([&](std::uintptr_t, const std::string&, MciNotify result) {
        if (result == MciNotify::Successful) ++successful;
    });
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    ASSERT_TRUE(Eventually([&] { return LengthInBytes() > 176400 / 2; }));  // the listener runs
    ASSERT_EQ(Mci(engine, "play tone notify", 1).first, 0u);
    std::vector<double> positions;  // at each pause, in seconds
    for (int i = 0; i < 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(MciCode(engine, "pause tone"), 0u);
        positions.push_back(std::stod(Mci(engine, "status tone position").second) / 1000);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(MciCode(engine, "resume tone"), 0u);
    }
    ASSERT_TRUE(Eventually([&] { return successful == 1; })) << "no notification when played out";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    ASSERT_EQ(MciCode(engine, "save capture " + (folder / "heard.wav")), 0u);
    // "wait" returns once played out.
    ASSERT_EQ(MciCode(engine, "play tone from 1500 wait"), 0u);
    EXPECT_EQ(Mci(engine, "status tone mode").second, "stopped");
    EXPECT_EQ(Mci(engine, "status tone position").second, Mci(engine, "status tone length").second);
    // How much of the tone was heard before each gap, in steps of 10 ms, on
    // the right channel, which a play of the left one only would leave silent.
    const Take take(folder / "heard.wav", 1);
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

// A server with nothing to record from: an error, not a hang.
TEST_F(MciPulseTest, NoInputIsAnErrorNotAHang) {
    auto bare = OwnPulseServer(folder / "bare", false);
    ASSERT_TRUE(bare);
    ScopedEnv address("PULSE_SERVER", "unix:" + (folder / "bare/native"));
    OpenCaptureDevice(engine);
    EXPECT_EQ(MciCode(engine, "record capture"), mcierr::kNoInput);
}

}  // namespace
}  // namespace tapelark
