#pragma once
#include <QtGui/QColor>
#include <QtGui/QPainter>
#include <QtCore/QRectF>

namespace tapelark {

// The shapes that the Marlett symbol font draws for the letters the window
// uses. Linux has no Marlett, so we draw them.
enum class Glyph { None, Circle, Square, RightTriangle, Cross };

Glyph GlyphForLetter(char letter);

// Draws the glyph centred in `box`, sized for a font whose em is `emPixels`.
void PaintGlyph(QPainter& painter, Glyph glyph, const QRectF& box, double emPixels,
                const QColor& colour);

}  // namespace tapelark
