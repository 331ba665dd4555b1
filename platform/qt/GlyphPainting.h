// SPDX-License-Identifier: MIT
#pragma once
#include <QtCore/QRectF>
#include <QtGui/QColor>
#include <QtGui/QPainter>

#include "window/GlyphShapes.h"

namespace tapelark {

// Draws the glyph centred in `box`, sized for a font whose em is `emPixels`.
void PaintGlyph(QPainter& painter, Glyph glyph, const QRectF& box, double emPixels, const QColor& colour);

}  // namespace tapelark
