#include "platform/qt/MarlettGlyphs.h"

#include <QtGui/QPainterPath>
#include <QtGui/QPolygonF>

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

void PaintGlyph(QPainter& painter, Glyph glyph, const QRectF& box, double emPixels,
                const QColor& colour) {
    // Proportions of the em square as Marlett fills it: the record dot and
    // the stop square about half of it, the play arrow a little more.
    const QPointF c = box.center();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    switch (glyph) {
        case Glyph::Circle: {
            const double r = emPixels * 0.30;
            painter.drawEllipse(c, r, r);
            break;
        }
        case Glyph::Square: {
            const double s = qRound(emPixels * 0.55);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.drawRect(QRectF(qRound(c.x() - s / 2), qRound(c.y() - s / 2), s, s));
            break;
        }
        case Glyph::RightTriangle: {
            const double h = emPixels * 0.56, w = h * 0.55;
            QPolygonF arrow;
            arrow << QPointF(c.x() - w / 2, c.y() - h / 2) << QPointF(c.x() + w / 2, c.y())
                  << QPointF(c.x() - w / 2, c.y() + h / 2);
            painter.drawPolygon(arrow);
            break;
        }
        case Glyph::Cross: {
            const double h = emPixels * 0.30;
            QPen pen(colour, qMax(1.5, emPixels * 0.16), Qt::SolidLine, Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(QPointF(c.x() - h, c.y() - h), QPointF(c.x() + h, c.y() + h));
            painter.drawLine(QPointF(c.x() + h, c.y() - h), QPointF(c.x() - h, c.y() + h));
            break;
        }
        case Glyph::None:
            break;
    }
    painter.restore();
}

}  // namespace tapelark
