// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "window/FormHandlers.h"
#include "window/FormLayout.h"
#include "window/FormView.h"

namespace tapelark {

// The main window in plain Win32, built from the layout data: a fixed-size
// tool window with owner-drawn buttons, coloured labels, tool tips and the
// status timer. Clicks and ticks go to the handlers set by the caller.
class Win32FormWindow : public FormView {
public:
    // Creates the window hidden; `instance` holds the images and the icon.
    explicit Win32FormWindow(std::uintptr_t instance);
    ~Win32FormWindow() override;
    Win32FormWindow(const Win32FormWindow&) = delete;
    Win32FormWindow& operator=(const Win32FormWindow&) = delete;

    void SetHandlers(FormHandlers handlers) { handlers_ = std::move(handlers); }
    void Show();  // centred on the screen, active
    // Runs the message loop until the window is closed; the exit code.
    int RunUntilClosed();

    std::uintptr_t WindowHandle() const { return window_; }
    std::uintptr_t ControlHandle(Control name) const;
    std::uintptr_t ToolTipHandle() const { return toolTip_; }
    int DotsPerInch() const { return dpi_; }

    // FormView
    void SetEnabled(Control button, bool enabled) override;
    void StartTimer() override;
    void StopTimer() override;
    bool TimerRunning() override { return timerRunning_; }
    void SetStatusText(const std::string& text) override;
    std::uintptr_t OwnerHandle() override { return window_; }

    // The window procedure's way back in; not for other callers.
    std::intptr_t Handle(std::uintptr_t window, unsigned message, std::uintptr_t wParam,
                         std::intptr_t lParam);

private:
    void CreateControls();
    void CreateToolTips();
    std::uintptr_t FontFor(const FontSpec& spec);
    const ControlLayout* LayoutOfId(int id) const;

    std::uintptr_t instance_;
    std::uintptr_t window_ = 0;
    std::uintptr_t toolTip_ = 0;
    int dpi_ = 96;
    bool timerRunning_ = false;
    FormHandlers handlers_;
    std::array<std::uintptr_t, kControlCount> controls_{};
    std::array<std::uintptr_t, kControlCount> fonts_{};
    std::uintptr_t windowFont_ = 0;
    std::uintptr_t logo_ = 0, savePicture_ = 0;
    std::uintptr_t backgroundBrush_ = 0;
    bool quitOnClose_ = false;
    std::array<std::uintptr_t, kControlCount> labelBrushes_{};
};

}  // namespace tapelark
