// SPDX-License-Identifier: MIT
#include "platform/qt/QtMessageBoxes.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

namespace tapelark {
namespace {

// The icon bits of a message box style, as the platform numbers them.
QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
        case 16: return QMessageBox::Critical;
        case 32: return QMessageBox::Question;
        case kStyleExclamation: return QMessageBox::Warning;
        case 64: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

void QtMessageBoxes::Show(const std::string& text, int style, const std::string& caption) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setTextFormat(Qt::PlainText);  // paths may hold anything, also '<'
    box.setText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(IconOf(style));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace tapelark
