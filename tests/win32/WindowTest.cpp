// SPDX-License-Identifier: MIT
// The Win32 main window, created for real under Wine, with the window logic
// on top and fakes only below the engine.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32FormWindow.h"
#include "tests/win32/WineHelpers.h"
#include "tests/window/TestWindow.h"
#include "window/FormHandlers.h"
#include "window/FormLayout.h"

namespace tapelark {
namespace {

using namespace tapelark::testing;

class WindowTest : public ::testing::Test, public FormServices {
protected:
    WindowTest() {
        window.SetHandlers(HandlersOf(form));
        window.Show();
        if (const char* dpi = std::getenv("TAPELARK_EXPECT_DPI")) {
            EXPECT_EQ(window.DotsPerInch(), std::atoi(dpi)) << "the screen's dpi, as the registry sets it";
        }
    }
    static void SetUpTestSuite() { SetProcessDPIAware(); }  // as the program does

    HWND Main() const { return reinterpret_cast<HWND>(window.WindowHandle()); }
    HWND Of(Control name) const { return reinterpret_cast<HWND>(window.ControlHandle(name)); }
    int Px(int twips) const { return TwipsToPixels(twips, window.DotsPerInch()); }
    // Clicks, then tells which of Record, Stop, Play, Save and Clear are enabled.
    std::vector<bool> Click(Control button) {
        SendMessageA(Of(button), BM_CLICK, 0, 0);
        Pump();
        std::vector<bool> enabled;
        for (Control each : {Control::btnWaveRec, Control::btnStopWave, Control::btnPlayWave,
                             Control::btnSaveWave, Control::btnWaveClear})
            enabled.push_back(IsWindowEnabled(Of(each)) != 0);
        return enabled;
    }
    Win32FormWindow window{reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr))};
    formPlay form{window, capture, launch.starter, saveDialog, environment, shell, messages};
};

TEST_F(WindowTest, IsAFixedToolWindowCentredOnTheScreenWithEveryControlAsDesigned) {
    EXPECT_EQ(TextOf(Main()), "Tapelark - [Another experimental tool]");
    const LONG_PTR frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    EXPECT_EQ(GetWindowLongPtrA(Main(), GWL_STYLE) & frame, WS_CAPTION | WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_NE(GetClassLongPtrA(Main(), GCLP_HICON), 0) << "the icon resource";
    RECT client, outer;
    GetClientRect(Main(), &client);
    GetWindowRect(Main(), &outer);
    EXPECT_EQ((std::array{client.right, client.bottom}), (std::array<LONG, 2>{Px(4335), Px(2370)}));
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // Every control: labels and the picture take no focus; only the controls
    // with a tip have one.
    RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HWND tips = reinterpret_cast<HWND>(window.ToolTipHandle());
    HWND child = GetWindow(Main(), GW_CHILD);
    for (const ControlLayout& layout : FormControls()) {
        SCOPED_TRACE(layout.id);
        HWND control = Of(layout.name);
        EXPECT_EQ(child, control) << "created, and so tabbed, in tab order";
        child = GetWindow(child, GW_HWNDNEXT);
        RECT box;
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&box), 2);
        EXPECT_EQ(
            (std::array{box.left, box.top, box.right - box.left, box.bottom - box.top}),
            (std::array<LONG, 4>{Px(layout.left), Px(layout.top), Px(layout.width), Px(layout.height)}));
        EXPECT_EQ(IsWindowEnabled(control) != 0, layout.enabledAtStart);
        EXPECT_TRUE(IsWindowVisible(control));
        const bool button = layout.kind == ControlKind::GraphicalButton;
        EXPECT_EQ((GetWindowLongPtrA(control, GWL_STYLE) & WS_TABSTOP) != 0, button);

        char tip[256] = {};
        TOOLINFOA tool{TTTOOLINFOA_V2_SIZE, 0, Main(), reinterpret_cast<UINT_PTR>(control)};
        tool.lpszText = tip;
        SendMessageA(tips, TTM_GETTEXTA, sizeof(tip), reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(tip, layout.toolTip ? layout.toolTip : "");
        if (!button) continue;
        HDC dc = GetDC(control);
        const COLORREF pixel = GetPixel(dc, 4, 4);  // inside the edge, clear of the glyph
        ReleaseDC(control, dc);
        EXPECT_EQ((GetRValue(pixel) << 16) | (GetGValue(pixel) << 8) | GetBValue(pixel), layout.face.rgb);
    }
}

// The transport itself is tested on a fake view; this is its binding to the
// real controls, the real timer and the dialog's owner.
TEST_F(WindowTest, ClicksReachTheirHandlersAndTheStatesShowOnTheRealControls) {
    using V = std::vector<bool>;
    Click(Control::btnStopWave);  // disabled: no click reaches the handler
    EXPECT_TRUE(EngineCommands().empty());
    EXPECT_EQ(Click(Control::btnWaveRec), (V{true, true, false, false, false}));
    EXPECT_EQ(EngineCommands().back(), "record capture");
    Click(Control::btnStopWave);  // Play, Save and Clear come on: their clicks below reach their handlers
    EXPECT_FALSE(KillTimer(Main(), 1)) << "Stop left no timer behind";
    Click(Control::btnPlayWave);
    saveDialog.answer = "C:\\Music\\take.wav";
    Click(Control::btnSaveWave);
    EXPECT_EQ(EngineCommands(), (std::vector<std::string>{"stop capture", "play capture from 0",
                                                          "save capture C:\\Music\\take.wav"}));
    EXPECT_EQ(saveDialog.asked.at(0).owner, window.WindowHandle());

    Click(Control::btnWaveRec);
    // While recording, only Clear's handler leaves Record alone enabled.
    EXPECT_EQ(Click(Control::btnWaveClear), (V{true, false, false, false, false}));
    SendMessageA(Main(), WM_TIMER, 1, 0);  // cleared while recording, the timer goes on and finds no device
    EXPECT_EQ(TextOf(Of(Control::lblStatus)), "N/A: ");
    EXPECT_TRUE(KillTimer(Main(), 1)) << "Record set a timer on the window";

    // The credits line is a label: it takes the mouse itself.
    SendMessageA(Of(Control::lblCredits), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(Of(Control::lblCredits), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(shell.calls.size(), 1u);
    Click(Control::Command1);
    EXPECT_FALSE(windows.calls.empty()) << "Start VGS looked for the emulator";
}

// The same layout checks in a second process that sees a 144 dpi screen.
TEST(WindowAtAnotherDpiTest, RectanglesFollowTheScreensDpi) {
    if (std::getenv("TAPELARK_EXPECT_DPI")) GTEST_SKIP() << "already the second process";
    const std::string setting = "\"HKCU\\Control Panel\\Desktop\" /v LogPixels";
    ASSERT_EQ(RunAndWait("reg.exe add " + setting + " /t REG_DWORD /d 144 /f"), 0);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    SetEnvironmentVariableA("TAPELARK_EXPECT_DPI", "144");
    const int result = RunAndWait("\"" + std::string(self) + "\" --gtest_filter=WindowTest.Is*");
    SetEnvironmentVariableA("TAPELARK_EXPECT_DPI", nullptr);
    RunAndWait("reg.exe delete " + setting + " /f");
    EXPECT_EQ(result, 0) << "see the second process's report above";
}

}  // namespace
}  // namespace tapelark
