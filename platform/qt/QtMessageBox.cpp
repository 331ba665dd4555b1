#include "platform/qt/QtMessageBox.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

namespace tapelark {

void QtMessageBox::Show(const std::string& text, int style, const std::string& caption) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setTextFormat(Qt::PlainText);  // paths may hold anything, also '<'
    box.setText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon((style & 0x70) == kStyleExclamation ? QMessageBox::Warning : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace tapelark
