// SPDX-License-Identifier: MIT
#include "platform/qt/GlyphPainting.h"

#include <QtGui/QPolygonF>

namespace tapelark {

void PaintGlyph(QPainter& painter, Glyph glyph, const QRectF& box, double emPixels, const QColor& colour) {
    const GlyphShape shape = GlyphShapeAt(glyph, box.center().x(), box.center().y(), emPixels);
    const QRectF bounds(QPointF(shape.left, shape.top), QPointF(shape.right, shape.bottom));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    switch (shape.glyph) {
        case Glyph::Circle: painter.drawEllipse(bounds); break;
        case Glyph::Square:
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.drawRect(bounds);
            break;
        case Glyph::RightTriangle:
            painter.drawPolygon(QPolygonF{
                {bounds.topLeft(), QPointF(bounds.right(), bounds.center().y()), bounds.bottomLeft()}});
            break;
        case Glyph::Cross:
            painter.setPen(QPen(colour, shape.stroke, Qt::SolidLine, Qt::FlatCap));
            painter.drawLine(bounds.topLeft(), bounds.bottomRight());
            painter.drawLine(bounds.topRight(), bounds.bottomLeft());
            break;
        case Glyph::None: break;
    }
    painter.restore();
}

}  // namespace tapelark
