// SPDX-License-Identifier: MIT
#include "window/formPlay.h"

#include "common/ApplicationTitle.h"
#include "common/AsciiText.h"
#include "platform/WindowSystem.h"
#include "window/FormLayout.h"
#include "window/ShowSaveDialog.h"

namespace tapelark {

formPlay::formPlay(FormView& view, WaveRecording& capture, EmulatorStarter& launcher,
                   SaveFileDialog& saveDialog, ProgramEnvironment& environment,
                   Shell& shell, MessageBoxes& messages)
    : view_(view), capture_(capture), launcher_(launcher), saveDialog_(saveDialog),
      environment_(environment), shell_(shell), messages_(messages) {}

void formPlay::btnWaveRec_Click() {
    view_.SetEnabled(Control::btnStopWave, true);
    view_.SetEnabled(Control::btnPlayWave, false);
    view_.StartTimer();
    silentRewrites_ = 0;
    heardSound_ = false;
    capture_.BeginRecording();
    tmrStatus_Timer();
}

void formPlay::btnStopWave_Click() {
    if (!view_.TimerRunning()) return;  // nothing is recording
    view_.StopTimer();
    view_.SetEnabled(Control::btnPlayWave, true);
    view_.SetEnabled(Control::btnSaveWave, true);
    view_.SetEnabled(Control::btnWaveClear, true);
    capture_.StopCapture();
    tmrStatus_Timer();
}

void formPlay::btnPlayWave_Click() {
    btnStopWave_Click();
    capture_.PlayCapture();
}

void formPlay::btnWaveClear_Click() {
    capture_.CloseAllDevices();
    view_.SetEnabled(Control::btnStopWave, false);
    view_.SetEnabled(Control::btnPlayWave, false);
    view_.SetEnabled(Control::btnSaveWave, false);
    view_.SetEnabled(Control::btnWaveClear, false);
    view_.SetStatusText(kStartupStatusText);
}

void formPlay::btnSaveWave_Click() {
    const std::string folder = SaveDialogFolder(environment_);
    const std::string path = ShowSaveDialog(saveDialog_, environment_, view_.OwnerHandle(),
                                            kSaveFilter, kSaveTitle, folder, kProposedFileName);
    if (path.empty()) return;
    try {
        capture_.SaveCaptureAs(path);
    } catch (const FileError& error) {
        messages_.Show(std::string(kSaveFailedText) + path + "\r\n" + error.what(), kStyleOk,
                       kApplicationTitle);
    }
}

void formPlay::Command1_Click() { launcher_.StartEmulator(); }

void formPlay::lblCredits_Click() {
    // Opening the home page is a courtesy: whatever goes wrong, say nothing.
    try {
        shell_.Execute(0, nullptr, HomePageAddress(), nullptr, nullptr, kShowNormal);
    } catch (...) {
    }
}

void formPlay::tmrStatus_Timer() {
    const std::string mode = AsciiUpperCase(capture_.CaptureModeText());
    const std::string length = capture_.CaptureLengthText();
    view_.SetStatusText(mode + ": " + length + HearingNote());
}

// Asked on each rewrite while recording; Record's own, at the take's start,
// is the first. A take that has heard sound once gets no note again.
std::string formPlay::HearingNote() {
    if (!view_.TimerRunning()) return "";
    const std::optional<bool> hears = capture_.CaptureHearsSound();
    if (!hears) return "";  // no device: the status says so already
    if (*hears) heardSound_ = true;
    else ++silentRewrites_;
    return !heardSound_ && silentRewrites_ > kSilentSecondsBeforeNote ? kNothingHeardNote : "";
}

}  // namespace tapelark
