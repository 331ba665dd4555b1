// SPDX-License-Identifier: MIT
#pragma once
#include <array>
#include <cstdint>

#include "window/FormView.h"

namespace tapelark {

// The main window as data, so that every toolkit draws the same window.
// Positions and sizes are in twips from the top-left corner of the client
// area; 15 twips make one pixel at 96 dpi.

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kStatusTimerMilliseconds = 1000;
inline constexpr const char* kStartupStatusText =
    "   Press Record button, then start the emulator to record music.";

enum class ControlKind {
    GraphicalButton,  // face filled with its own colour; a glyph, text or picture
    Label,            // wraps at word boundaries, cut at its height, takes no focus
    PictureBox,       // image at natural size from the top-left, cut at the edges
};

// The built-in images (our own artwork under assets/).
enum class Picture {
    None,
    SaveWave,  // 14 x 14
    Logo,      // 48 x 48; the box shows its top-left 44 x 31
};

// A colour as #RRGGBB, or the platform's default for that role.
struct Colour {
    bool platformDefault = true;
    std::uint32_t rgb = 0;  // 0xRRGGBB when not platformDefault
};
inline constexpr Colour kDefaultColour{};
constexpr Colour Rgb(std::uint32_t rgb) { return Colour{false, rgb}; }

inline constexpr int kCharsetAnsi = 0;    // Western
inline constexpr int kCharsetSymbol = 2;

struct FontSpec {
    const char* name = nullptr;  // nullptr: the window's own font
    double points = 0;
    int weight = 400;
    bool underline = false;
    int charset = kCharsetAnsi;
};

struct ControlLayout {
    Control name;
    const char* id;        // the control's name as text, "btnWaveRec"
    ControlKind kind;
    int left, top, width, height;  // twips
    // Text, or the single letter of a glyph when font.name is "Marlett";
    // nullptr when the control shows no caption.
    const char* caption;
    Picture picture;
    FontSpec font;
    Colour face;           // face of a button, background of a label
    Colour text;
    const char* toolTip;   // nullptr: none
    int tabIndex;
    bool enabledAtStart;
    bool clickable;        // a click runs a handler of the window's logic
};

struct WindowLayout {
    const char* title;
    int clientWidth, clientHeight;  // twips
    Colour background;
    FontSpec font;                  // the window's own font
    bool centredAtStart;
    bool resizable;
    bool minimiseButton, maximiseButton;
};

inline constexpr const char* kGlyphFont = "Marlett";
inline constexpr std::size_t kControlCount = 10;

const WindowLayout& FormWindowLayout();
// In tab order: element i has tabIndex i.
const std::array<ControlLayout, kControlCount>& FormControls();
const ControlLayout& LayoutOf(Control name);

// The address that the credits line opens and shows as its tool tip.
const char* HomePageAddress();

// twips -> pixels for a screen of `dotsPerInch` (96 gives twips / 15).
constexpr int TwipsToPixels(int twips, int dotsPerInch) {
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace tapelark
