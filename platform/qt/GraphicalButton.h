// SPDX-License-Identifier: MIT
#pragma once
#include <QtGui/QColor>
#include <QtGui/QPixmap>
#include <QtWidgets/QAbstractButton>

#include "platform/qt/GlyphPainting.h"

namespace tapelark {

// A button whose face is filled with its own colour and that shows a glyph,
// a text or a picture; disabled, it draws them etched as classic Windows does.
class GraphicalButton : public QAbstractButton {
public:
    explicit GraphicalButton(QWidget* parent = nullptr);

    void SetFace(const QColor& face);
    void SetGlyph(Glyph glyph, double emPixels);
    void SetPicture(const QPixmap& picture);
    Glyph ShownGlyph() const { return glyph_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintContent(QPainter& painter, const QRect& box, const QColor& colour, bool etched);

    QColor face_;
    Glyph glyph_ = Glyph::None;
    double emPixels_ = 0;
    QPixmap picture_;
};

}  // namespace tapelark
