// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace tapelark {

// The controls of the main window, by their names.
enum class Control {
    btnSaveWave,
    btnPlayWave,
    btnStopWave,
    lblStatus,
    btnWaveRec,
    btnWaveClear,
    lblCredits,
    picLogo,
    Command1,
    Label1,
};

// What the window's handlers may do to the window (implemented by each toolkit).
class FormView {
public:
    virtual ~FormView() = default;
    virtual void SetEnabled(Control button, bool enabled) = 0;
    virtual void StartTimer() = 0;
    virtual void StopTimer() = 0;
    virtual bool TimerRunning() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual std::uintptr_t OwnerHandle() = 0;
};

}  // namespace tapelark
