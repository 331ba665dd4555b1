// SPDX-License-Identifier: MIT
#include "platform/qt/GraphicalButton.h"

#include <QtGui/QPainter>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionButton>

namespace tapelark {

GraphicalButton::GraphicalButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void GraphicalButton::SetFace(const QColor& face) {
    face_ = face;
    update();
}

void GraphicalButton::SetGlyph(Glyph glyph, double emPixels) {
    glyph_ = glyph;
    emPixels_ = emPixels;
    update();
}

void GraphicalButton::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void GraphicalButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    const bool sunken = isDown();

    painter.fillRect(r, face_.isValid() ? face_ : palette().button().color());
    // The classic two-pixel bevel: light top-left, dark bottom-right, swapped when pressed.
    const QColor light = sunken ? Qt::black : Qt::white;
    const QColor dark = sunken ? Qt::white : Qt::black;
    const QColor midLight = sunken ? QColor(0x80, 0x80, 0x80) : face_.lighter(125);
    const QColor midDark = sunken ? face_.lighter(125) : QColor(0x80, 0x80, 0x80);
    painter.setPen(light);
    painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    painter.setPen(dark);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(midLight);
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-2, 1));
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -2));
    painter.setPen(midDark);
    painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
    painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));

    QRect content = r.adjusted(2, 2, -2, -2);
    if (sunken) content.translate(1, 1);
    if (isEnabled()) {
        PaintContent(painter, content, palette().color(QPalette::Active, QPalette::ButtonText), false);
    } else {
        PaintContent(painter, content.translated(1, 1), Qt::white, true);
        PaintContent(painter, content, QColor(0x80, 0x80, 0x80), true);
    }

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = r.adjusted(4, 4, -4, -4);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void GraphicalButton::PaintContent(QPainter& painter, const QRect& box, const QColor& colour,
                                   bool etched) {
    if (!picture_.isNull()) {
        if (etched && colour == Qt::white) return;  // a picture is greyed, not etched
        QPixmap shown = picture_;
        if (etched) {
            QStyleOption option;
            option.initFrom(this);
            shown = style()->generatedIconPixmap(QIcon::Disabled, picture_, &option);
        }
        painter.drawPixmap(box.center() - QPoint(shown.width() / 2, shown.height() / 2) + QPoint(1, 1),
                           shown);
        return;
    }
    if (glyph_ != Glyph::None) {
        PaintGlyph(painter, glyph_, box, emPixels_, colour);
        return;
    }
    painter.setPen(colour);
    painter.setFont(font());
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text());
}

}  // namespace tapelark
