// SPDX-License-Identifier: MIT
#pragma once
// Painting the owner-drawn faces of the main window: the graphical buttons
// with their colour and glyph, text or picture, and the picture box.
#include <windows.h>

#include <cstdint>

#include "window/FormLayout.h"

namespace tapelark {

COLORREF ToColorRef(std::uint32_t rgb);
// The layout's colour, or the platform's colour for that role.
COLORREF Pick(Colour colour, int systemColour);

// A button face: its colour, a raised or pressed edge, then its picture or
// caption (Marlett letters as their glyphs), greyed when disabled.
void PaintButton(const DRAWITEMSTRUCT& draw, const ControlLayout& layout, HFONT font, HBITMAP picture,
                 int dpi);
// An image at its natural size from the top-left corner, cut at the box.
void PaintPicture(const DRAWITEMSTRUCT& draw, HBITMAP image);

}  // namespace tapelark
