// SPDX-License-Identifier: MIT
// The main window's logic on fakes: the transport, the status line and the save command.
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "tests/window/TestWindow.h"
#include "window/FormHandlers.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

using Commands = std::vector<std::string>;

const Commands kBeginRecording{
    "close all", "open new type waveaudio alias capture",
    "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400",
    "record capture"};
const std::string kRecordingText = "RECORDING: Length recording  12.345 s ( 2177280 bytes)";
const std::string kStoppedText = "STOPPED: Length recording  12.345 s ( 2177280 bytes)";

// A click through the window's dispatch; no control stands for a tick of the status timer.
using Click = std::optional<Control>;
constexpr Click Record = Control::btnWaveRec;
constexpr Click Stop = Control::btnStopWave;
constexpr Click Play = Control::btnPlayWave;
constexpr Click Clear = Control::btnWaveClear;
constexpr Click Tick = std::nullopt;

void Press(TestWindow& w, Click click) {
    click ? HandlersOf(w.form).clicked(*click) : HandlersOf(w.form).ticked();
}

// What a click reached: the multimedia commands, then the other services it asked.
Commands EffectsOf(TestWindow& w) {
    Commands effects = w.EngineCommands();
    if (!w.saveDialog.asked.empty()) effects.push_back("save dialog");
    for (const auto& file : w.shell.calls) effects.push_back("shell " + file);
    if (!w.windows.calls.empty()) effects.push_back("emulator");
    return effects;
}

// Stop, Play, Save and Clear enabled, the timer and the status line.
using Look = std::tuple<bool, bool, bool, bool, bool, std::string>;

Look LookOf(TestWindow& w) {
    return {w.view.enabled[Control::btnStopWave], w.view.enabled[Control::btnPlayWave],
            w.view.enabled[Control::btnSaveWave], w.view.enabled[Control::btnWaveClear], w.view.timer,
            w.view.status};
}

struct State {
    const char* name;
    std::vector<Click> path;  // the clicks from start-up that lead there
    Look look;
};

const State kStartup{"Start-up", {}, {false, false, false, false, false, kStartupStatusText}};
const State kFirstRecording{"First recording", {Record}, {true, false, false, false, true, kRecordingText}};
const State kStopped{"Stopped", {Record, Stop}, {true, true, true, true, false, kStoppedText}};
const State kRecordingAgain{
    "Recording again", {Record, Stop, Record}, {true, false, true, true, true, kRecordingText}};
const State kCleared{"Cleared while recording",
                     {Record, Stop, Record, Clear},
                     {false, false, false, false, true, kStartupStatusText}};
// The timer goes on after a clear, and its next tick finds no device.
const State kClearedTicked{"Cleared, then a tick",
                           {Record, Stop, Record, Clear, Tick},
                           {false, false, false, false, true, "N/A: "}};

TEST(Transport, EveryClickMakesItsCallsAndReachesItsState) {
    const Commands kSaved{"save capture /tmp/a.wav", "save dialog"};
    const struct {
        const State& from;
        Click click;
        Commands effects;
        const State& to;
    } transitions[] = {
        {kStartup, Record, kBeginRecording, kFirstRecording},
        {kFirstRecording, Stop, {"stop capture"}, kStopped},
        // Play leaves the window as Stop does. Not reachable by clicks while recording (Play is
        // disabled then); called all the same, it stops first.
        {kFirstRecording, Play, {"stop capture", "play capture from 0"}, kStopped},
        {kStopped, Record, kBeginRecording, kRecordingAgain},
        {kStopped, Stop, {}, kStopped},
        {kStopped, Play, {"play capture from 0"}, kStopped},
        {kStopped, Clear, {"close all"}, kStartup},
        {kRecordingAgain, Clear, {"close all"}, kCleared},
        {kCleared, Tick, {}, kClearedTicked},
        {kCleared, Record, kBeginRecording, kFirstRecording},
        // The other controls leave the transport alone.
        {kStopped, Control::btnSaveWave, kSaved, kStopped},
        {kRecordingAgain, Control::btnSaveWave, kSaved, kRecordingAgain},
        {kFirstRecording, Control::Command1, {"emulator"}, kFirstRecording},
        {kFirstRecording, Control::lblCredits, {std::string("shell ") + HomePageAddress()}, kFirstRecording},
        {kFirstRecording, Control::Label1, {}, kFirstRecording},
    };
    for (const auto& t : transitions) {
        SCOPED_TRACE(std::string(t.from.name) + " -> " + t.to.name);
        TestWindow w;
        w.saveDialog.answer = "/tmp/a.wav";
        for (Click click : t.from.path) Press(w, click);  // each path's end is another row's
        w.Forget();
        Press(w, t.click);
        EXPECT_EQ(EffectsOf(w), t.effects);
        EXPECT_EQ(LookOf(w), t.to.look);
        EXPECT_TRUE(w.view.enabled[Control::btnWaveRec] && w.view.enabled[Control::Command1]);
        EXPECT_TRUE(w.messages.shown.empty());
    }
}

// A declared addition to the recording status, and nothing else changes.
TEST(Transport, TheStatusLineSaysWhenATakeHasHeardNothingForThreeSeconds) {
    const struct {
        std::vector<FakeMciChannel::Answer> levels;  // at Record, then at each tick; the last repeats
        std::string noted;                            // for each: '.' without the note, 'n' with it
    } cases[] = {
        // From the fourth silent rewrite on, until sound is heard: then never again in that take.
        {{{0, "0"}, {0, "0"}, {0, "0"}, {0, "0"}, {0, "0"}, {0, "120"}, {0, "0"}}, "...nn.."},
        {{{0, "0"}, {0, "2863289685"}, {0, "0"}}, "....."},  // winmm's: a 16-bit half for each channel
        {{{263, ""}}, "....."},                              // no answer, no note
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.noted);
        TestWindow w;
        w.mci.Script("status capture level", c.levels);
        for (std::size_t i = 0; i < c.noted.size(); ++i) {
            Press(w, i == 0 ? Record : Tick);
            EXPECT_EQ(w.view.status, kRecordingText + (c.noted[i] == 'n' ? kNothingHeardNote : "")) << i;
        }
        Press(w, Stop);
        EXPECT_EQ(w.view.status, kStoppedText);
        Press(w, Record);  // a new take starts counting again
        EXPECT_EQ(w.view.status, kRecordingText);
    }
}

// Win32 finds a control's font by its tabIndex.
TEST(FormLayout, EachControlsTabIndexIsItsPlaceInTheTableAndHalfPixelsRoundUp) {
    for (const auto& layout : FormControls())
        EXPECT_EQ(layout.tabIndex, &layout - FormControls().data()) << layout.id;
    EXPECT_EQ(TwipsToPixels(4335, 144), 434);
}

// A failing file step is shown with the path and the reason; nothing else is.
TEST(SaveCommand, TheDialogIsAskedAndTheChosenPathAndOnlyItSaved) {
    const std::string failed = "Saving file failed, file name was: /music/audio.wav\r\n"
                               "cannot put the new file in the place of /music/audio.wav";
    const struct {
        bool cancel;  // the dialog fails: a cancel
        std::string answer;
        std::vector<std::string> saves;
        std::string told;  // when set, the step after the save fails
    } cases[] = {
        {true, "/tmp/a.wav", {}},
        // Blanks around are trimmed and the buffer, longer than the path, cut at its NUL.
        {false, "  /tmp/a.wav  ", {"save capture /tmp/a.wav"}},
        {false, "/music/audio.wav", {"save capture /music/audio.wav"}, failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        TestWindow w;
        for (Click click : kStopped.path) Press(w, click);
        w.Forget();
        w.saveDialog.fail = c.cancel;
        w.saveDialog.answer = c.answer;
        w.saving.fails = !c.told.empty();
        EXPECT_NO_THROW(w.form.btnSaveWave_Click());
        const SaveFileRecord& asked = w.saveDialog.asked.at(0);
        EXPECT_EQ(asked.owner, w.view.OwnerHandle());
        EXPECT_EQ(asked.filter, std::string("Wave Audio (*.wav)\0*.wav\0", 25));
        EXPECT_EQ(asked.file, "audio.wav" + std::string(254 - 9, ' '));
        EXPECT_EQ(asked.initialDir, "/opt/tapelark/");
        EXPECT_EQ(asked.title, "Save As");
        EXPECT_EQ(asked.flags, 8198u);  // ask before replacing and before creating
        EXPECT_EQ(w.EngineCommands(), c.saves);
        EXPECT_EQ(w.messages.Texts(), c.told.empty() ? std::vector<std::string>{} : std::vector{c.told});
    }
}

TEST(SaveDialogWrapper, FolderNameBufferAndFilterAndAFailingDialogIsACancel) {
    FakeProgramEnvironment env;
    env.programFolder = env.writable = "/";
    EXPECT_EQ(SaveDialogFolder(env), "/");  // no second separator
    env.programFolder = "/usr/bin";         // may not be written: the user's folder instead
    EXPECT_EQ(SaveDialogFolder(env), "/home/player/Music/");
    FakeSaveFileDialog dialog;
    dialog.fail = true;
    EXPECT_EQ(ShowSaveDialog(dialog, env, 0, "A|*.a|", "T", "/", std::string(300, 'n')), "");
    EXPECT_EQ(dialog.asked.at(0).file, std::string(254, 'n'));  // the proposed name cut to the buffer
    EXPECT_EQ(NulSeparatedFilter("A|*.a|"), std::string("A\0*.a\0", 6));  // ended once
}

}  // namespace
}  // namespace tapelark::testing
