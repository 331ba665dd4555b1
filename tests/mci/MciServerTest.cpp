// SPDX-License-Identifier: MIT
// The engine against PulseAudio and PipeWire, each with two null sinks: what a
// recording hears, the take keeping time with the clock, and plays.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/linux/WineEmulatorProgram.h"
#include "tests/mci/MciTestSupport.h"
#include "tests/mci/Take.h"

namespace tapelark {
namespace {

using namespace mcierr;
constexpr const char* kEmulator = "C:\\VGS\\VGS.exe";

// The engine over the sound server the test fixtures start; the device under
// test is Tapelark's capture device.
class MciServerTest : public ::testing::Test {
protected:
    TempFolder folder;
    MciEngine engine;

    void SetUp() override {
        ASSERT_NE(std::getenv("PULSE_SERVER"), nullptr) << "run through ctest: it starts the server";
    }
    std::string Tone(double frequency, double seconds, double volume = 0.3) {
        std::string path = folder / (std::to_string(int(frequency)) + ".wav");
        EXPECT_TRUE(MakeTone(path, frequency, seconds, volume)) << path;
        return path;
    }
    std::string Status(const std::string& item) { return Mci(engine, "status capture " + item).second; }
    std::uint64_t LengthInBytes() {
        EXPECT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
        return std::stoull("0" + Status("length"));
    }
    // Stops; the length kept time with the clock while recording and after.
    Take StopAndSave(Clock::time_point started) {
        const auto since = [&] { return std::chrono::duration<double>(Clock::now() - started).count(); };
        EXPECT_NEAR(LengthInBytes() / 176400.0, since(), 0.2) << "the length lags behind while recording";
        double wall = since();
        EXPECT_EQ(MciCode(engine, "stop capture"), 0u);
        EXPECT_NEAR(LengthInBytes() / 176400.0, wall, 0.2) << "the take does not keep time with the clock";
        EXPECT_EQ(MciCode(engine, "save capture " + (folder / "take.wav")), 0u);
        return Take(folder / "take.wav");
    }
};

TEST_F(MciServerTest, TheEmulatorHearsOnlyItsProgramFollowsItsStreamsAndKeepsTime) {
    std::string a440 = Tone(440, 1.8), a660 = Tone(660, 1.2), a1000 = Tone(1000, 1.2), other = Tone(880, 8);
    ChildProcess listen1 = Listener("null.monitor"), listen2 = Listener("tapelark_other.monitor");
    ChildProcess browser = Player("/usr/lib/firefox/firefox", other, "tapelark_other");
    std::string location = "C:\\Old\\VGS.exe";
    engine.SetNamedProgram(EmulatorProgram([&] { return location; }));
    engine.SetCaptureInput({CaptureInput::Kind::Program, kEmulatorInput});
    OpenCaptureDevice(engine);
    location = kEmulator;  // read when Record is pressed
    // The default output as well, to tell where the emulator's sound was played.
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias out"), 0u);
    ASSERT_EQ(MciCode(engine, "set out bitspersample 16 samplespersec 44100 channels 2"), 0u);
    ASSERT_EQ(MciCode(engine, "set out input output"), 0u);
    auto start = Clock::now();
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    ASSERT_EQ(MciCode(engine, "record out"), 0u);
    const std::string input = std::string("emulator ") + kEmulator;
    EXPECT_EQ(Status("input"), input + " (silent)");

    // The emulator starts a second after Record, its stream is moved to
    // another output, it opens two more at once and ends them all; the
    // other program plays all along.
    SleepUntil(start, 1.0);
    ChildProcess first = Player(kEmulator, a440);
    SleepUntil(start, 2.4);  // PulseAudio's null sink hears a new stream up to a second late
    ASSERT_EQ(std::system("for i in $(pactl list short sink-inputs | cut -f1); do "
                          "pactl move-sink-input $i tapelark_other; done"),
              0);
    SleepUntil(start, 2.6);
    ASSERT_EQ(MciCode(engine, "stop out"), 0u);
    ASSERT_EQ(MciCode(engine, "save out " + (folder / "out.wav")), 0u);
    SleepUntil(start, 3.2);
    {
        ChildProcess second = Player(kEmulator, a660), third = Player(kEmulator, a1000);
        SleepUntil(start, 4.4);
        EXPECT_EQ(Status("input"), input + " (hearing)");
        second.Wait(), third.Wait(), first.Wait();
    }
    SleepUntil(start, 6.1);
    EXPECT_EQ(Status("input"), input + " (silent)");
    Take take = StopAndSave(start);
    EXPECT_EQ(Status("input"), "emulator (not recording)");

    EXPECT_LT(take.Peak(0, 0.95), 0.01) << "the first second holds sound";
    EXPECT_LT(take.Onset(), 2.4) << "not heard before it moved";
    EXPECT_NEAR(take.Onset(), Take(folder / "out.wav").Onset(), 0.1) << "not where the output played it";
    EXPECT_LE(take.LongestSilence(take.Onset(), 2.7), 0.1) << "a hole where it moved";
    EXPECT_GT(take.Strength(440, 2.5, 2.75), 0.1) << "not heard after it moved";
    EXPECT_LE(take.Peak(0, 3.0), 0.35) << "sound the program did not play";
    EXPECT_GT(take.Strength(660, 3.2, 4.9), 0.1);
    EXPECT_GT(take.Strength(1000, 3.2, 4.9), 0.1);
    EXPECT_LT(take.Peak(5.5, take.Seconds()), 0.01) << "sound after the program's streams ended";
    for (double at = 0; at + 0.25 < take.Seconds(); at += 0.25)
        EXPECT_LT(take.Strength(880, at, at + 0.25), 0.01) << "another program is heard at " << at << " s";
}

TEST_F(MciServerTest, OutputFollowsTheDefaultSinkWithoutAGap) {
    std::string a440 = Tone(440, 8), a660 = Tone(660, 8);
    ChildProcess listen1 = Listener("null.monitor"), listen2 = Listener("tapelark_other.monitor");
    ChildProcess first = Player("player", a440, "null"), second = Player("player", a660, "tapelark_other");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    engine.SetCaptureInput({CaptureInput::Kind::Output, ""});
    OpenCaptureDevice(engine);
    auto start = Clock::now();
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    SleepUntil(start, 2.5);
    EXPECT_EQ(Status("input"), "output (hearing)");
    int changed = std::system("pactl set-default-sink tapelark_other");
    // The server ends the engine's captures (one for each sink): they are asked for again.
    SleepUntil(start, 3.5);
    // pactl cannot end a stream; pipewire-pulse numbers them by PipeWire serial.
    const std::string kill = std::getenv("TAPELARK_PIPEWIRE")
        ? R"(s=${PULSE_SERVER#unix:}; export PIPEWIRE_REMOTE=${s%/pulse/native}/pipewire-0; pw-cli destroy )"
          R"($(pw-cli ls Node | awk -v s="\"$x\"" '/^\tid / { i = $2 + 0 } $1 == "object.serial" && $3 == s { print i }'))"
        : "pacmd kill-source-output $x";
    int killed = std::system((R"(i=$(pactl list source-outputs | awk '/^Source Output #/ { i = substr($3, 2) } )"
                              R"(/media.name = "Tapelark recording"/ { print i }'); )"
                              R"(test -n "$i" && for x in $i; do )" + kill + " || exit 1; done").c_str());
    SleepUntil(start, 5.5);
    EXPECT_EQ(Status("mode"), "recording");
    Take take = StopAndSave(start);
    std::system("pactl set-default-sink null");
    ASSERT_EQ(changed, 0);
    ASSERT_EQ(killed, 0);

    // PulseAudio's null sink starts delivering to a new capture up to a second late.
    double onset = take.Onset();
    ASSERT_LT(onset, 1.9) << "the default output is not heard";
    EXPECT_GT(take.Strength(440, onset, 2.2), 0.2);
    EXPECT_LT(take.Strength(660, onset, 2.2), 0.01) << "the other sink was heard before it was the default";
    EXPECT_GT(take.Strength(660, 3.0, 3.5), 0.2) << "the new default output is not heard";
    EXPECT_LE(take.LongestSilence(onset, 3.5), 0.2);
    EXPECT_GT(take.Strength(660, 5.0, take.Seconds() - 0.1), 0.2) << "not heard again after its capture ended";
}

// Each input as a command sets it, and what it hears with a program playing
// that no name matches.
TEST_F(MciServerTest, ChoosingAnInputByCommandAndHearingNothingSaysSo) {
    engine.SetNamedProgram(EmulatorProgram([] { return std::string(); }));  // no install location registered
    std::string tone = Tone(440, 3);
    ChildProcess listener = Listener("null.monitor");
    ChildProcess anything = Player("player", tone);
    // A name that no program has: blanks, quotes, letters beyond ASCII, long.
    const std::string odd = "C:\\Jeux \"vidéo\" " + std::string(1000, 'x') + ".exe";
    struct Case {
        std::string set;
        std::uint32_t code = 0;
        std::string status = "default (not recording)";  // a refused input changes nothing
        std::string recording = "";                       // what it hears, recorded a second
    } cases[] = {
        {"emulator", 0, "emulator (not recording)",
         "emulator VGS.EXE, by executable name: no install location is registered (silent)"},
        {"application \"\"", 0, "application (not recording)", "application (silent: no program name was given)"},
        {"application \"" + odd + "\"", 0, "application " + odd + " (not recording)", "application " + odd + " (silent)"},
        {"source \"tapelark_other.monitor\"", 0, "source tapelark_other.monitor (not recording)"},
        {"default"},
        {"microphone", kUnknownInput}, {"", kMissingParameter}, {"source", kMissingStringArgument},
        {"output now", kUnrecognizedKeyword}, {"application \"vgs", kNoClosingQuote},
        {"4000000000", kOutOfRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        OpenCaptureDevice(engine);
        EXPECT_EQ(MciCode(engine, "set capture input " + c.set), c.code);
        EXPECT_EQ(Status("input"), c.status);
        if (c.recording.empty()) continue;
        auto start = Clock::now();
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        SleepUntil(start, 1.0);
        EXPECT_EQ(Status("input"), c.recording);
        Take take = StopAndSave(start);
        EXPECT_LT(take.Peak(0, take.Seconds()), 0.01) << "recorded something";
    }
    // winmm's numbered form names a source of the server.
    ASSERT_EQ(MciCode(engine, "set capture input 0"), 0u);
    EXPECT_EQ(Status("input").rfind("source ", 0), 0u) << Status("input");
    ASSERT_EQ(MciCode(engine, "set capture input source nobody.monitor"), 0u);
    EXPECT_EQ(MciCode(engine, "record capture"), kNoSuchSource);
}

// PulseAudio only: the test runs servers of its own. While one is away the
// mode says so; once it is back, recording goes on in time. A server with
// nothing to record from is an error, not a hang.
TEST_F(MciServerTest, EveryInputRidesOutTheServerGoingAwayAndNoInputIsAnError) {
    if (std::getenv("TAPELARK_PIPEWIRE")) GTEST_SKIP() << "restarts a PulseAudio server of its own";
    const std::string dir = folder / "server";
    ScopedEnv address("PULSE_SERVER", "unix:" + dir + "/native");
    std::string tone = Tone(440, 1.5);
    for (CaptureInput input : {CaptureInput{CaptureInput::Kind::Application, "VGS.exe"}, CaptureInput{}}) {
        SCOPED_TRACE(DescribeInput(input));
        auto server = OwnPulseServer(dir, true);
        ASSERT_TRUE(server);
        engine.SetCaptureInput(input);
        OpenCaptureDevice(engine);
        auto start = Clock::now();
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        {
            ChildProcess emulator = Player(kEmulator, tone);
            SleepUntil(start, 0.8);
            server.reset();
        }
        SleepUntil(start, 1.8);
        EXPECT_EQ(Status("mode"), "not ready");
        server = OwnPulseServer(dir, true);
        ASSERT_TRUE(server);
        ChildProcess listener = Listener("null.monitor");
        SleepUntil(start, 3.5);  // it connects again within a second or two
        EXPECT_EQ(Status("mode"), "recording");
        EXPECT_EQ(Player(kEmulator, tone).Wait(), 0);
        SleepUntil(start, 5.5);
        Take take = StopAndSave(start);
        EXPECT_GT(take.Strength(440, 3.5, take.Seconds()), 0.1) << "not heard after the server came back";
    }
    // Gone for good: the stop, made while the backend waits to connect again, says so.
    auto server = OwnPulseServer(dir, true);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    server.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(MciCode(engine, "stop capture"), kServerLost);
    server = OwnPulseServer(dir, false);  // no sink, so no monitor either
    ASSERT_TRUE(server);
    EXPECT_EQ(MciCode(engine, "record capture"), kNoInput);
}

// A 2 s tone at 440 Hz and half of full scale, heard whole in the take.
void ExpectTheTone(const Take& take) {
    const double on = take.Onset(), off = take.End();
    EXPECT_NEAR(off - on, 2.0, 0.2);
    EXPECT_NEAR(take.Strength(440, on + 0.05, off - 0.05), 0.5, 0.02);
    EXPECT_NEAR(take.Peak(on, off), 0.5, 0.02);
}

TEST_F(MciServerTest, RecordsAToneFromTheMonitorAndSavesItWhileRecordingAndAfter) {
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
TEST_F(MciServerTest, APausedPlayLosesNothingKeepsThePositionHeardAndNotifiesAtItsEnd) {
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
    for (std::size_t i = 0; i < positions.size(); ++i)
        EXPECT_NEAR(heardBeforeGaps[i], positions[i], 0.06) << i;
}

}  // namespace
}  // namespace tapelark
