// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "capture/WaveRecording.h"
#include "launcher/EmulatorStarter.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramEnvironment.h"
#include "platform/SaveFileDialog.h"
#include "platform/Shell.h"
#include "window/FormView.h"

namespace tapelark {

inline constexpr const char* kSaveFilter = "Wave Audio (*.wav)|*.wav";
inline constexpr const char* kSaveTitle = "Save As";
inline constexpr const char* kProposedFileName = "audio.wav";
// Added to the status line once a take has heard nothing for this many seconds.
inline constexpr const char* kNothingHeardNote = " - nothing heard yet";
inline constexpr int kSilentSecondsBeforeNote = 3;

// The main window's behaviour. Its state lives in the view: which buttons
// are enabled and whether the status timer runs (a running timer is the only
// record that a recording is in progress); beside it, only what the take in
// progress has heard, for the status line's note.
class formPlay {
public:
    formPlay(FormView& view, WaveRecording& capture, EmulatorStarter& launcher,
             SaveFileDialog& saveDialog, ProgramEnvironment& environment, Shell& shell,
             MessageBoxes& messages);

    void btnWaveRec_Click();
    void btnStopWave_Click();
    void btnPlayWave_Click();
    void btnWaveClear_Click();
    void btnSaveWave_Click();
    void Command1_Click();
    void lblCredits_Click();
    void tmrStatus_Timer();

private:
    std::string HearingNote();

    FormView& view_;
    WaveRecording& capture_;
    EmulatorStarter& launcher_;
    SaveFileDialog& saveDialog_;
    ProgramEnvironment& environment_;
    Shell& shell_;
    MessageBoxes& messages_;
    int silentRewrites_ = 0;  // of the status while recording, since Record
    bool heardSound_ = false;
};

}  // namespace tapelark
