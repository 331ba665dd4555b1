// SPDX-License-Identifier: MIT
#pragma once
#include <functional>

#include <QtGui/QMouseEvent>
#include <QtWidgets/QLabel>

namespace tapelark {

// A label that reports a click of the left button released over it.
class ClickableLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
            clicked();
    }
};

}  // namespace tapelark
