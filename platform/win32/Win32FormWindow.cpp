// SPDX-License-Identifier: MIT
#include "platform/win32/Win32FormWindow.h"

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>

#include "common/ApplicationTitle.h"
#include "platform/win32/FacePainting.h"
#include "platform/win32/Resources.h"

namespace tapelark {
namespace {

constexpr const char* kClassName = "TapelarkFormPlay";
constexpr UINT_PTR kStatusTimerId = 1;
constexpr int kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which tabbing may send
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;  // thin frame, close only
constexpr DWORD kWindowExStyle = WS_EX_TOOLWINDOW;                         // the narrow title bar

template <typename T>
T As(std::uintptr_t handle) {
    return reinterpret_cast<T>(handle);
}
std::uintptr_t Raw(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }


LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(Raw(window), message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    if (GetClassInfoExA(instance, kClassName, &windowClass)) return;
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_TAPELARK), IMAGE_ICON, 32, 32, 0));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_TAPELARK), IMAGE_ICON, 16, 16, 0));
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);
}

int ScreenDotsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}


}  // namespace

Win32FormWindow::Win32FormWindow(std::uintptr_t instance) : instance_(instance) {
    INITCOMMONCONTROLSEX common{sizeof(common), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    RegisterWindowClass(As<HINSTANCE>(instance_));
    dpi_ = ScreenDotsPerInch();

    const WindowLayout& layout = FormWindowLayout();
    RECT frame{0, 0, TwipsToPixels(layout.clientWidth, dpi_), TwipsToPixels(layout.clientHeight, dpi_)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    backgroundBrush_ = Raw(CreateSolidBrush(ToColorRef(layout.background.rgb)));
    window_ = Raw(CreateWindowExA(kWindowExStyle, kClassName, layout.title, kWindowStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, As<HINSTANCE>(instance_), this));
    if (!window_) throw std::runtime_error("The main window could not be created.");

    logo_ = Raw(LoadImageA(As<HINSTANCE>(instance_), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
    savePicture_ =
        Raw(LoadImageA(As<HINSTANCE>(instance_), MAKEINTRESOURCEA(IDB_SAVEWAVE), IMAGE_BITMAP, 0, 0, 0));
    windowFont_ = FontFor(layout.font);
    CreateControls();
    CreateToolTips();
}

Win32FormWindow::~Win32FormWindow() {
    if (IsWindow(As<HWND>(window_))) DestroyWindow(As<HWND>(window_));
    for (std::uintptr_t font : fonts_)
        if (font && font != windowFont_) DeleteObject(As<HFONT>(font));
    DeleteObject(As<HFONT>(windowFont_));
    for (std::uintptr_t brush : labelBrushes_)
        if (brush) DeleteObject(As<HBRUSH>(brush));
    DeleteObject(As<HBITMAP>(logo_));
    DeleteObject(As<HBITMAP>(savePicture_));
    DeleteObject(As<HBRUSH>(backgroundBrush_));
}

std::uintptr_t Win32FormWindow::FontFor(const FontSpec& spec) {
    if (!spec.name) return windowFont_;
    const int height = -static_cast<int>(std::lround(spec.points * dpi_ / 72.0));
    return Raw(CreateFontA(height, 0, 0, 0, spec.weight, FALSE, spec.underline, FALSE,
                           static_cast<DWORD>(spec.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, spec.name));
}

void Win32FormWindow::CreateControls() {
    const auto& layouts = FormControls();
    // Created in tab order, which is also the order tabbing follows.
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        const ControlLayout& layout = layouts[i];
        const char* windowClass = "STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        switch (layout.kind) {
        case ControlKind::GraphicalButton:
            windowClass = "BUTTON";
            style |= WS_TABSTOP | BS_OWNERDRAW;
            break;
        case ControlKind::Label:
            // Statics report clicks, and show tool tips, only with SS_NOTIFY.
            style |= SS_LEFT | SS_NOPREFIX | (layout.clickable || layout.toolTip ? SS_NOTIFY : 0);
            break;
        case ControlKind::PictureBox:
            style |= SS_OWNERDRAW;
            break;
        }
        if (!layout.enabledAtStart) style |= WS_DISABLED;
        HWND control = CreateWindowExA(
            0, windowClass, layout.caption ? layout.caption : "", style,
            TwipsToPixels(layout.left, dpi_), TwipsToPixels(layout.top, dpi_),
            TwipsToPixels(layout.width, dpi_), TwipsToPixels(layout.height, dpi_), As<HWND>(window_),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), As<HINSTANCE>(instance_),
            nullptr);
        controls_[i] = Raw(control);
        fonts_[i] = FontFor(layout.font);
        SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(fonts_[i]), FALSE);
        if (layout.kind == ControlKind::Label && !layout.face.platformDefault)
            labelBrushes_[i] = Raw(CreateSolidBrush(ToColorRef(layout.face.rgb)));
    }
}

void Win32FormWindow::CreateToolTips() {
    toolTip_ = Raw(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, As<HWND>(window_),
                                   nullptr, As<HINSTANCE>(instance_), nullptr));
    const auto& layouts = FormControls();
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        if (!layouts[i].toolTip) continue;
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;  // also understood by the comctl32 without a manifest
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = As<HWND>(window_);
        tool.uId = controls_[i];
        tool.lpszText = const_cast<char*>(layouts[i].toolTip);
        SendMessageA(As<HWND>(toolTip_), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::uintptr_t Win32FormWindow::ControlHandle(Control name) const {
    const auto& layouts = FormControls();
    for (std::size_t i = 0; i < layouts.size(); ++i)
        if (layouts[i].name == name) return controls_[i];
    return 0;
}

const ControlLayout* Win32FormWindow::LayoutOfId(int id) const {
    const auto& layouts = FormControls();
    const int index = id - kFirstControlId;
    if (index < 0 || index >= static_cast<int>(layouts.size())) return nullptr;
    return &layouts[static_cast<std::size_t>(index)];
}

void Win32FormWindow::Show() {
    RECT frame;
    GetWindowRect(As<HWND>(window_), &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(As<HWND>(window_), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(As<HWND>(window_), SW_SHOWNORMAL);
    UpdateWindow(As<HWND>(window_));
}

int Win32FormWindow::RunUntilClosed() {
    quitOnClose_ = true;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(As<HWND>(window_), &message)) continue;  // Tab between the buttons
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

void Win32FormWindow::SetEnabled(Control button, bool enabled) {
    EnableWindow(As<HWND>(ControlHandle(button)), enabled);
}

void Win32FormWindow::StartTimer() {
    SetTimer(As<HWND>(window_), kStatusTimerId, kStatusTimerMilliseconds, nullptr);
    timerRunning_ = true;
}

void Win32FormWindow::StopTimer() {
    KillTimer(As<HWND>(window_), kStatusTimerId);
    timerRunning_ = false;
}

void Win32FormWindow::SetStatusText(const std::string& text) {
    SetWindowTextA(As<HWND>(ControlHandle(Control::lblStatus)), text.c_str());
}



std::intptr_t Win32FormWindow::Handle(std::uintptr_t windowHandle, unsigned message,
                                      std::uintptr_t wParam, std::intptr_t lParam) {
    HWND window = As<HWND>(windowHandle);
    try {
        switch (message) {
        case WM_COMMAND: {
            const ControlLayout* layout = LayoutOfId(LOWORD(wParam));
            const unsigned code = HIWORD(wParam);
            // Owner-drawn buttons report a quick second click as a double click.
            const bool click = code == BN_CLICKED ||
                               (layout && layout->kind == ControlKind::GraphicalButton &&
                                code == BN_DOUBLECLICKED);
            if (layout && layout->clickable && click && handlers_.clicked) handlers_.clicked(layout->name);
            return 0;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, As<HBRUSH>(backgroundBrush_));
            return 1;
        }
        case WM_TIMER:
            if (wParam == kStatusTimerId && handlers_.ticked) handlers_.ticked();
            return 0;
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            const ControlLayout* layout = LayoutOfId(static_cast<int>(draw->CtlID));
            if (!layout) break;
            if (layout->kind == ControlKind::PictureBox) {
                PaintPicture(*draw, layout->picture == Picture::Logo ? As<HBITMAP>(logo_) : nullptr);
            } else {
                const HBITMAP picture =
                    layout->picture == Picture::SaveWave ? As<HBITMAP>(savePicture_) : nullptr;
                PaintButton(*draw, *layout, As<HFONT>(fonts_[static_cast<std::size_t>(layout->tabIndex)]),
                            picture, dpi_);
            }
            return TRUE;
        }
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
            const ControlLayout* layout = LayoutOfId(id);
            if (!layout) break;
            SetTextColor(dc, Pick(layout->text, COLOR_WINDOWTEXT));
            if (layout->face.platformDefault) {
                // No background of its own: the window's shows through.
                SetBkMode(dc, TRANSPARENT);
                return static_cast<std::intptr_t>(backgroundBrush_);
            }
            SetBkColor(dc, ToColorRef(layout->face.rgb));
            return static_cast<std::intptr_t>(labelBrushes_[static_cast<std::size_t>(id - kFirstControlId)]);
        }
        case WM_DESTROY:
            KillTimer(window, kStatusTimerId);
            timerRunning_ = false;
            if (quitOnClose_) PostQuitMessage(0);
            return 0;
        default:
            break;
        }
    } catch (const std::exception& error) {
        // Nothing may unwind through the system's call into this procedure.
        MessageBoxA(window, error.what(), kApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    } catch (...) {
        MessageBoxA(window, "An unexpected error occurred.", kApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tapelark
