// SPDX-License-Identifier: MIT
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/window/TestWindow.h"
#include "window/FormHandlers.h"
#include "window/FormLayout.h"

namespace tapelark::testing {
namespace {

using Commands = std::vector<std::string>;

const Commands kBeginRecording{
    "close all", "open new type waveaudio alias capture",
    "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400",
    "record capture"};
const Commands kStopCapture{"stop capture"};
const Commands kPlayCapture{"play capture from 0"};
const Commands kCloseAllDevices{"close all"};
const Commands kNone{};

const std::string kRecordingStatus = "RECORDING: Length recording  12.345 s ( 2177280 bytes)";
const std::string kStoppedStatus = "STOPPED: Length recording  12.345 s ( 2177280 bytes)";

enum class Click { Record, Stop, Play, Clear };

void Press(TestWindow& w, Click click) {
    switch (click) {
        case Click::Record: w.form.btnWaveRec_Click(); break;
        case Click::Stop: w.form.btnStopWave_Click(); break;
        case Click::Play: w.form.btnPlayWave_Click(); break;
        case Click::Clear: w.form.btnWaveClear_Click(); break;
    }
}

// Stop, Play, Save, Clear enabled, and the timer, as the five states have them.
struct Buttons {
    bool stop, play, save, clear, timer;
    bool operator==(const Buttons&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Buttons& b) {
    return out << "stop " << b.stop << " play " << b.play << " save " << b.save << " clear "
               << b.clear << " timer " << b.timer;
}

struct State {
    const char* name;
    std::vector<Click> path;  // the clicks from start-up that lead there
    Buttons buttons;
};

const State kStartup{"Start-up", {}, {false, false, false, false, false}};
const State kFirstRecording{"First recording", {Click::Record}, {true, false, false, false, true}};
const State kStopped{"Stopped", {Click::Record, Click::Stop}, {true, true, true, true, false}};
const State kRecordingAgain{
    "Recording again", {Click::Record, Click::Stop, Click::Record}, {true, false, true, true, true}};
const State kClearedWhileRecording{"Cleared while recording",
                                   {Click::Record, Click::Stop, Click::Record, Click::Clear},
                                   {false, false, false, false, true}};

Buttons ButtonsOf(TestWindow& w) {
    return {w.view.enabled[Control::btnStopWave], w.view.enabled[Control::btnPlayWave],
            w.view.enabled[Control::btnSaveWave], w.view.enabled[Control::btnWaveClear],
            w.view.timer};
}

struct Transition {
    const State& from;
    Click click;
    const Commands& engineCalls;
    const State& to;
};

const Transition kTransitions[] = {
    {kStartup, Click::Record, kBeginRecording, kFirstRecording},
    {kFirstRecording, Click::Record, kBeginRecording, kFirstRecording},
    {kFirstRecording, Click::Stop, kStopCapture, kStopped},
    {kStopped, Click::Record, kBeginRecording, kRecordingAgain},
    {kStopped, Click::Stop, kNone, kStopped},
    {kStopped, Click::Play, kPlayCapture, kStopped},
    {kStopped, Click::Clear, kCloseAllDevices, kStartup},
    {kRecordingAgain, Click::Record, kBeginRecording, kRecordingAgain},
    {kRecordingAgain, Click::Stop, kStopCapture, kStopped},
    {kRecordingAgain, Click::Clear, kCloseAllDevices, kClearedWhileRecording},
    {kClearedWhileRecording, Click::Record, kBeginRecording, kFirstRecording},
};

TEST(Transport, EveryStateHasItsButtonsAndTimer) {
    for (const State* state :
         {&kStartup, &kFirstRecording, &kStopped, &kRecordingAgain, &kClearedWhileRecording}) {
        TestWindow w;
        for (Click click : state->path) Press(w, click);
        EXPECT_EQ(ButtonsOf(w), state->buttons) << state->name;
        EXPECT_TRUE(w.view.enabled[Control::btnWaveRec]) << state->name;
        EXPECT_TRUE(w.view.enabled[Control::Command1]) << state->name;
    }
}

TEST(Transport, EveryTransitionMakesItsEngineCallAndReachesItsState) {
    for (const Transition& t : kTransitions) {
        TestWindow w;
        for (Click click : t.from.path) Press(w, click);
        w.Forget();
        Press(w, t.click);
        EXPECT_EQ(w.EngineCommands(), t.engineCalls) << t.from.name << " -> " << t.to.name;
        EXPECT_EQ(ButtonsOf(w), t.to.buttons) << t.from.name << " -> " << t.to.name;
        EXPECT_TRUE(w.messages.shown.empty()) << t.from.name << " -> " << t.to.name;
    }
}

TEST(Transport, RecordAndStopRewriteTheStatusAtOnceWithTheModeUpperCased) {
    TestWindow w;
    w.form.btnWaveRec_Click();
    EXPECT_EQ(w.view.status, kRecordingStatus);
    w.form.btnStopWave_Click();
    EXPECT_EQ(w.view.status, kStoppedStatus);
    w.mci.mode = "paused";
    w.form.tmrStatus_Timer();
    EXPECT_EQ(w.view.status, "PAUSED: Length recording  12.345 s ( 2177280 bytes)");
}

TEST(Transport, StopWithTheTimerStoppedDoesNothingAtAll) {
    TestWindow w;
    for (Click click : kStopped.path) Press(w, click);
    w.form.btnPlayWave_Click();  // a playback runs; Stop can't end it
    w.Forget();
    const std::string before = w.view.status;
    const std::size_t sent = w.mci.calls.size();
    w.form.btnStopWave_Click();
    EXPECT_EQ(w.mci.calls.size(), sent);
    EXPECT_EQ(w.view.status, before);
    EXPECT_EQ(ButtonsOf(w), kStopped.buttons);
}

TEST(Transport, PlaySendsOnlyThePlayAndLeavesTheStatus) {
    TestWindow w;
    for (Click click : kStopped.path) Press(w, click);
    const std::string before = w.view.status;
    w.Forget();
    const std::size_t sent = w.mci.calls.size();
    w.form.btnPlayWave_Click();
    w.form.btnPlayWave_Click();  // again from the beginning
    EXPECT_EQ(w.mci.calls.size(), sent + 2);
    EXPECT_EQ(w.EngineCommands(), (Commands{"play capture from 0", "play capture from 0"}));
    EXPECT_EQ(w.view.status, before);
}

TEST(Transport, PlayWhileRecordingStopsFirst) {
    // Not reachable by clicks (Play is disabled then); the direct call still stops.
    TestWindow w;
    w.form.btnWaveRec_Click();
    w.Forget();
    w.form.btnPlayWave_Click();
    EXPECT_EQ(w.EngineCommands(), (Commands{"stop capture", "play capture from 0"}));
    EXPECT_EQ(ButtonsOf(w), kStopped.buttons);
}

TEST(Transport, ClearWhileRecordingAgainKeepsTheTimerAndTheNextTickShowsNoDevice) {
    TestWindow w;
    for (Click click : kRecordingAgain.path) Press(w, click);
    w.form.btnWaveClear_Click();
    EXPECT_EQ(w.view.status, kStartupStatusText);
    EXPECT_TRUE(w.view.timer);
    w.form.tmrStatus_Timer();
    EXPECT_EQ(w.view.status, "N/A: ");
    EXPECT_EQ(ButtonsOf(w), kClearedWhileRecording.buttons);
}

TEST(Transport, AFailedOpenIsReportedByTheEngineAndTheButtonsGoOnAsOnSuccess) {
    TestWindow w;
    w.mci.Fail("open new type waveaudio alias capture", 1);
    w.form.btnWaveRec_Click();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].text, "Opening new wave failed!");
    EXPECT_EQ(ButtonsOf(w), kFirstRecording.buttons);
    EXPECT_EQ(w.view.status, "N/A: ");
}

TEST(Credits, OpensTheHomePageWithTheDefaultHandlerAndAFailureChangesNothing) {
    TestWindow w;
    w.form.lblCredits_Click();
    ASSERT_EQ(w.shell.calls.size(), 1u);
    const auto& call = w.shell.calls[0];
    EXPECT_EQ(call.owner, 0u);
    EXPECT_TRUE(call.verbNull && call.parametersNull && call.directoryNull);
    EXPECT_EQ(call.file, LayoutOf(Control::lblCredits).toolTip);
    EXPECT_EQ(call.show, 1);

    w.shell.fail = true;
    EXPECT_NO_THROW(w.form.lblCredits_Click());
    EXPECT_TRUE(w.messages.shown.empty());
    EXPECT_EQ(w.view.status, kStartupStatusText);
    EXPECT_EQ(ButtonsOf(w), kStartup.buttons);
}

TEST(StartVgs, WakesTheEmulatorOnceAndLeavesTheTransportAlone) {
    TestWindow w;
    w.windows.windowAnswers = true;
    w.form.btnWaveRec_Click();
    const Buttons before = ButtonsOf(w);
    w.Forget();
    w.form.Command1_Click();
    EXPECT_EQ(w.windows.calls,
              (Commands{"activate Connectix Virtual Game Station nowait", "keys ~ nowait"}));
    EXPECT_TRUE(w.EngineCommands().empty());
    EXPECT_EQ(ButtonsOf(w), before);
}

TEST(Dispatch, EveryClickableControlAndNoOtherReachesAHandler) {
    for (const auto& layout : FormControls()) {
        TestWindow w;
        w.form.btnWaveRec_Click();  // every transport button has something to do now
        w.Forget();
        HandlersOf(w.form).clicked(layout.name);
        const bool handled = !w.EngineCommands().empty() || !w.saveDialog.asked.empty() ||
                             !w.shell.calls.empty() || !w.windows.calls.empty();
        EXPECT_EQ(handled, layout.clickable) << layout.id;
    }
    TestWindow w;
    HandlersOf(w.form).ticked();
    EXPECT_EQ(w.mci.calls.at(0).command, "status capture mode");
}

}  // namespace
}  // namespace tapelark::testing
