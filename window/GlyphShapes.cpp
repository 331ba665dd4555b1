// SPDX-License-Identifier: MIT
#include "window/GlyphShapes.h"

#include <algorithm>
#include <cmath>

namespace tapelark {

Glyph GlyphForLetter(char letter) {
    switch (letter) {
        case 'n': return Glyph::Circle;
        case 'g': return Glyph::Square;
        case '4': return Glyph::RightTriangle;
        case 'r': return Glyph::Cross;
        default: return Glyph::None;
    }
}

GlyphShape GlyphShapeAt(Glyph glyph, double centreX, double centreY, double emPixels) {
    // Proportions of the em square as Marlett fills it: the record dot and
    // the stop square about half of it, the play arrow a little more.
    double halfWidth = 0, halfHeight = 0, stroke = 0;
    switch (glyph) {
        case Glyph::Circle: halfWidth = halfHeight = emPixels * 0.30; break;
        case Glyph::Square: {
            // Whole pixels, so its edges are sharp.
            const double side = std::round(emPixels * 0.55);
            const double left = std::round(centreX - side / 2), top = std::round(centreY - side / 2);
            return {glyph, left, top, left + side, top + side, 0};
        }
        case Glyph::RightTriangle:
            halfHeight = emPixels * 0.28;
            halfWidth = halfHeight * 0.55;
            break;
        case Glyph::Cross:
            halfWidth = halfHeight = emPixels * 0.30;
            stroke = std::max(1.5, emPixels * 0.16);
            break;
        case Glyph::None: return {};
    }
    return {glyph, centreX - halfWidth, centreY - halfHeight, centreX + halfWidth, centreY + halfHeight,
            stroke};
}

}  // namespace tapelark
