// SPDX-License-Identifier: MIT
// The engine against a real PulseAudio server: what the null sink plays is
// what its monitor, the default source, records.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <thread>

#include "tests/mci/MciTestSupport.h"
#include "tests/mci/PulseServer.h"
#include "tests/mci/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {
namespace {

// Waits for a state the sound server brings about, checking often; gives up
// after a generous while so a broken engine fails instead of hanging.
bool Eventually(const std::function<bool()>& reached, int seconds = 30) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!reached()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::uint64_t LengthInBytes(MciEngine& engine, const std::string& alias = "capture") {
    EXPECT_EQ(MciCode(engine, "set " + alias + " time format bytes"), 0u);
    auto [code, reply] = Mci(engine, "status " + alias + " length");
    EXPECT_EQ(code, 0u);
    return std::strtoull(reply.c_str(), nullptr, 10);
}

std::string Mode(MciEngine& engine, const std::string& alias = "capture") {
    return Mci(engine, "status " + alias + " mode").second;
}

// What a stereo 16-bit recording holds where it is loud: the tone's
// frequency from zero crossings, and its peak and RMS level (1.0 = full scale).
struct Tone {
    double frequency = 0, peak = 0, rms = 0, seconds = 0;
};

Tone Analyse(const std::vector<unsigned char>& bytes, int rate, int channel) {
    std::vector<double> x(bytes.size() / 4);
    for (std::size_t i = 0; i < x.size(); ++i) {
        std::size_t at = i * 4 + static_cast<std::size_t>(channel) * 2;
        x[i] = static_cast<std::int16_t>(bytes[at] | bytes[at + 1] << 8) / 32768.0;
    }
    std::size_t first = 0, last = x.size();
    while (first < x.size() && std::fabs(x[first]) < 0.1) ++first;
    while (last > first && std::fabs(x[last - 1]) < 0.1) --last;
    Tone t;
    if (last - first < 2) return t;
    // Leave the edges out: the tone may fade in or out there.
    std::size_t margin = static_cast<std::size_t>(rate) / 20;
    if (last - first > 4 * margin) first += margin, last -= margin;
    std::size_t crossings = 0;
    double sum = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (i > first && (x[i - 1] < 0) != (x[i] < 0)) ++crossings;
        t.peak = std::max(t.peak, std::fabs(x[i]));
        sum += x[i] * x[i];
    }
    t.seconds = static_cast<double>(last - first) / rate;
    t.frequency = crossings / 2.0 / t.seconds;
    t.rms = std::sqrt(sum / static_cast<double>(last - first));
    return t;
}

class MciPulseTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string tone = folder / "tone.wav";

    void SetUp() override {
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr) << "run through ctest: it starts the server";
        std::string make = "sox -q -n -r 44100 -c 2 -b 16 '" + tone + "' synth 2 sine 440 vol 0.5";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
    }
    void PlayTone() { ASSERT_EQ(std::system(("paplay '" + tone + "'").c_str()), 0); }

    // Records while paplay plays the tone into the null sink, and a little after.
    void RecordTone(MciEngine& engine, const std::string& alias = "capture") {
        ASSERT_EQ(MciCode(engine, "record " + alias), 0u);
        ASSERT_EQ(Mode(engine, alias), "recording");
        PlayTone();
        std::uint64_t played = LengthInBytes(engine, alias);
        ASSERT_TRUE(Eventually([&] { return LengthInBytes(engine, alias) > played + 176400 / 2; }))
            << "the recording stopped growing";
    }
};

TEST_F(MciPulseTest, RecordsAToneFromTheMonitorAndSavesIt) {
    MciEngine engine;
    OpenCaptureDevice(engine);
    RecordTone(engine);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(Mode(engine), "stopped");
    std::uint64_t bytes = LengthInBytes(engine);
    ASSERT_EQ(MciCode(engine, "set capture time format ms"), 0u);
    std::uint64_t ms = std::strtoull(Mci(engine, "status capture length").second.c_str(), nullptr, 10);
    EXPECT_EQ(ms, bytes * 1000 / 176400);

    std::string path = folder / "my take.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    WaveFile wave = ReadWaveFile(path);
    ASSERT_EQ(wave.problem, "");
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    EXPECT_EQ(wave.bytes.size(), bytes);
    for (int channel : {0, 1}) {
        Tone t = Analyse(wave.bytes, 44100, channel);
        EXPECT_NEAR(t.seconds, 2.0, 0.2) << "channel " << channel;
        EXPECT_NEAR(t.frequency, 440.0, 2.0) << "channel " << channel;
        EXPECT_NEAR(t.peak, 0.5, 0.02) << "channel " << channel;
        EXPECT_NEAR(t.rms, 0.5 / std::sqrt(2.0), 0.02) << "channel " << channel;
    }
}

TEST_F(MciPulseTest, SavingWhileRecordingGoesOnRecording) {
    MciEngine engine;
    OpenCaptureDevice(engine);
    RecordTone(engine);
    std::string path = folder / "so far.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    EXPECT_EQ(Mode(engine), "recording");
    std::uint64_t saved = ReadWaveFile(path).bytes.size();
    EXPECT_NEAR(Analyse(ReadWaveFile(path).bytes, 44100, 0).frequency, 440.0, 2.0);
    ASSERT_TRUE(Eventually([&] { return LengthInBytes(engine) > saved + 17640; }));
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u);
}

TEST_F(MciPulseTest, PlaysBackThroughTheSinkAndEndsByItself) {
    MciEngine engine;
    OpenCaptureDevice(engine);
    RecordTone(engine);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    // A second device listens at the monitor to what the first one plays.
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias listen"), 0u);
    ASSERT_EQ(MciCode(engine, "set listen bitspersample 16 samplespersec 44100 channels 2"), 0u);
    ASSERT_EQ(MciCode(engine, "record listen"), 0u);
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u);
    EXPECT_EQ(Mode(engine), "playing");
    EXPECT_TRUE(Eventually([&] { return Mode(engine) == "stopped"; }, 60)) << "playback never ended";
    ASSERT_EQ(MciCode(engine, "stop listen"), 0u);
    ASSERT_EQ(MciCode(engine, "save listen " + (folder / "heard.wav")), 0u);
    Tone heard = Analyse(ReadWaveFile(folder / "heard.wav").bytes, 44100, 1);
    EXPECT_NEAR(heard.frequency, 440.0, 2.0);
    EXPECT_NEAR(heard.peak, 0.5, 0.02);
    EXPECT_NEAR(heard.seconds, 2.0, 0.2);

    // "wait" returns once played out.
    ASSERT_EQ(MciCode(engine, "play capture from 1500 wait"), 0u);
    EXPECT_EQ(Mode(engine), "stopped");
    EXPECT_EQ(Mci(engine, "status capture position").second, Mci(engine, "status capture length").second);

    // "notify" reports from the server's thread once played out.
    std::atomic<int> successful{0};
    engine.SetNotifySink([&](std::uintptr_t, const std::string&, MciNotify result) {
        if (result == MciNotify::Successful) ++successful;
    });
    // The last half second, to keep it short.
    std::string nearEnd = std::to_string(std::stoull(Mci(engine, "status capture length").second) - 500);
    std::string reply;
    ASSERT_EQ(engine.Send("play capture from " + nearEnd + " notify", reply, 1), 0u);
    EXPECT_TRUE(Eventually([&] { return successful == 1; }, 10)) << "no notification when played out";

    // Paused and resumed on a new stream, the same play ends and notifies. A
    // second and a half before the end, so a slow server has not already taken
    // all of it when the pause comes.
    std::string longBeforeEnd = std::to_string(std::stoull(Mci(engine, "status capture length").second) - 1500);
    ASSERT_EQ(engine.Send("play capture from " + longBeforeEnd + " notify", reply, 1), 0u);
    ASSERT_EQ(MciCode(engine, "pause capture"), 0u);
    EXPECT_EQ(Mode(engine), "paused");
    ASSERT_EQ(MciCode(engine, "resume capture"), 0u);
    EXPECT_EQ(Mode(engine), "playing");
    EXPECT_TRUE(Eventually([&] { return successful == 2; }, 10)) << "a resumed play never ended";
    EXPECT_EQ(Mci(engine, "status capture position").second, Mci(engine, "status capture length").second);
}

TEST_F(MciPulseTest, NoSoundServerIsAnErrorNotAHang) {
    ScopedEnv server("PULSE_SERVER", "unix:" + (folder / "nobody-listens"));
    MciEngine engine;
    OpenCaptureDevice(engine);
    EXPECT_EQ(MciCode(engine, "record capture"), mcierr::kNoSoundServer);
    EXPECT_EQ(Mode(engine), "stopped");
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u);
}

TEST_F(MciPulseTest, ServerWithoutAnInputIsAnError) {
    PulseServer bare(folder / "bare", false);
    ASSERT_TRUE(bare.Up());
    ScopedEnv server("PULSE_SERVER", bare.Address());
    MciEngine engine;
    OpenCaptureDevice(engine);
    EXPECT_EQ(MciCode(engine, "record capture"), mcierr::kNoInput);
    EXPECT_EQ(Mode(engine), "stopped");
}

TEST_F(MciPulseTest, ServerThatDiesMidRecordingKeepsTheRecording) {
    PulseServer doomed(folder / "doomed", true);
    ASSERT_TRUE(doomed.Up());
    ScopedEnv server("PULSE_SERVER", doomed.Address());
    MciEngine engine;
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    ASSERT_TRUE(Eventually([&] { return LengthInBytes(engine) >= 17640; }));
    doomed.Kill();
    EXPECT_TRUE(Eventually([&] { return Mode(engine) == "not ready"; })) << Mode(engine);
    std::uint64_t kept = LengthInBytes(engine);
    EXPECT_EQ(MciCode(engine, "stop capture"), mcierr::kServerLost);
    EXPECT_EQ(Mode(engine), "stopped");
    ASSERT_EQ(MciCode(engine, "save capture " + (folder / "rescued.wav")), 0u);
    EXPECT_EQ(ReadWaveFile(folder / "rescued.wav").bytes.size(), kept);
    EXPECT_EQ(MciCode(engine, "record capture"), mcierr::kNoSoundServer);
}

}  // namespace
}  // namespace tapelark
