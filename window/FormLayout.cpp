// SPDX-License-Identifier: MIT
#include "window/FormLayout.h"

#ifndef TAPELARK_HOME_PAGE
#define TAPELARK_HOME_PAGE "https://tapelark.example.org/"
#endif

namespace tapelark {
namespace {

constexpr FontSpec kWindowFont{"MS Sans Serif", 8.25, 400, false, kCharsetAnsi};
constexpr FontSpec kOwnFont{};  // the window's font
constexpr FontSpec kGlyphSmall{kGlyphFont, 8.25, 500, false, kCharsetSymbol};
constexpr FontSpec kGlyphLarge{kGlyphFont, 14.25, 500, false, kCharsetSymbol};
constexpr FontSpec kArial{"Arial", 8.25, 400, false, kCharsetAnsi};
constexpr FontSpec kArialUnderlined{"Arial", 8.25, 400, true, kCharsetAnsi};

constexpr Colour kBlack = Rgb(0x000000);
constexpr Colour kRed = Rgb(0xFF0000);
constexpr Colour kYellow = Rgb(0xFFFF00);
constexpr Colour kLightYellow = Rgb(0xFFFFC0);
constexpr Colour kPaleBlue = Rgb(0xC0C0FF);
constexpr Colour kBlue = Rgb(0x0000FF);
constexpr Colour kStartBlue = Rgb(0x8080FF);

constexpr const char* kWarning =
    "WARNING: This program uses a large amount of memory during sound recording and strong "
    "sound skipping may be present during game play. The Microphone should be turned ON.";
constexpr const char* kCredits = "Tapelark - visit the home page";

using K = ControlKind;
using C = Control;

const WindowLayout kWindow{
    "Tapelark - [Another experimental tool]", 4335, 2370, kBlack, kWindowFont,
    true, false, false, false,
};

const std::array<ControlLayout, kControlCount> kControls{{
    {C::btnSaveWave, "btnSaveWave", K::GraphicalButton, 2475, 150, 390, 375, nullptr,
     Picture::SaveWave, kOwnFont, kPaleBlue, kDefaultColour, "Save Wave", 0, false, true},
    {C::btnPlayWave, "btnPlayWave", K::GraphicalButton, 2085, 150, 405, 375, "4",
     Picture::None, kGlyphLarge, kPaleBlue, kDefaultColour, "Play Wave", 1, false, true},
    {C::btnStopWave, "btnStopWave", K::GraphicalButton, 1725, 150, 390, 375, "g",
     Picture::None, kGlyphSmall, kPaleBlue, kDefaultColour, "Stop Wave", 2, false, true},
    {C::lblStatus, "lblStatus", K::Label, 60, 720, 4290, 240, kStartupStatusText,
     Picture::None, kArial, kBlack, kYellow, nullptr, 3, true, false},
    {C::btnWaveRec, "btnWaveRec", K::GraphicalButton, 1350, 150, 390, 375, "n",
     Picture::None, kGlyphSmall, kRed, kDefaultColour, "Record Wave", 4, true, true},
    {C::btnWaveClear, "btnWaveClear", K::GraphicalButton, 3090, 150, 390, 390, "r",
     Picture::None, kGlyphSmall, kYellow, kDefaultColour, "Clear Wave", 5, false, true},
    // No background of its own: the window's black shows behind the blue text.
    {C::lblCredits, "lblCredits", K::Label, 90, 1185, 2925, 210, kCredits,
     Picture::None, kArialUnderlined, kDefaultColour, kBlue, TAPELARK_HOME_PAGE, 6, true, true},
    {C::picLogo, "picLogo", K::PictureBox, 195, 60, 660, 465, nullptr,
     Picture::Logo, kOwnFont, kDefaultColour, kDefaultColour, nullptr, 7, true, false},
    {C::Command1, "Command1", K::GraphicalButton, 3090, 1095, 1140, 330, "Start VGS",
     Picture::None, kOwnFont, kStartBlue, kDefaultColour, nullptr, 8, true, true},
    {C::Label1, "Label1", K::Label, 75, 1500, 4125, 855, kWarning,
     Picture::None, kOwnFont, kLightYellow, kDefaultColour, nullptr, 9, true, false},
}};

}  // namespace

const WindowLayout& FormWindowLayout() { return kWindow; }

const std::array<ControlLayout, kControlCount>& FormControls() { return kControls; }

const ControlLayout& LayoutOf(Control name) {
    for (const auto& control : kControls)
        if (control.name == name) return control;
    return kControls.front();  // unreachable: every Control is in the table
}

const char* HomePageAddress() { return TAPELARK_HOME_PAGE; }

}  // namespace tapelark
