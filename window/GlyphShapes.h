// SPDX-License-Identifier: MIT
#pragma once

namespace tapelark {

// The shapes that the Marlett symbol font draws for the letters the window
// uses; a platform without Marlett draws them from here.
enum class Glyph { None, Circle, Square, RightTriangle, Cross };

Glyph GlyphForLetter(char letter);

// Where a glyph lies, in pixels, centred on a point and sized for a font
// whose em is `emPixels`. The box holds the whole shape: the dot is the
// circle inside it, the square is the box itself, the triangle points from
// its left side to the middle of its right side, and the cross runs along
// its diagonals in lines `stroke` wide.
struct GlyphShape {
    Glyph glyph = Glyph::None;
    double left = 0, top = 0, right = 0, bottom = 0;
    double stroke = 0;
};

GlyphShape GlyphShapeAt(Glyph glyph, double centreX, double centreY, double emPixels);

}  // namespace tapelark
