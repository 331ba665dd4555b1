// SPDX-License-Identifier: MIT
#include "platform/qt/QtQuestions.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

namespace tapelark {

bool QtQuestions::AskYesNo(const std::string& text, const std::string& caption) {
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner) owner = QApplication::activeWindow();
    QMessageBox box(owner);
    box.setWindowTitle(QString::fromStdString(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace tapelark
