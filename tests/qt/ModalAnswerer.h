// SPDX-License-Identifier: MIT
#pragma once
// Answers the modal dialogs that a call opens, one scripted step per dialog
// as it comes to the front; any dialog beyond the script is noted and closed,
// so a test fails instead of hanging.
#include <deque>
#include <functional>

#include <QtCore/QMetaObject>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>

namespace tapelark::testing {

class ModalAnswerer : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalAnswerer(std::deque<Step> steps) : steps_(std::move(steps)) {
        qApp->installEventFilter(this);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Look(); });
        poll_.start(5);
    }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    bool Finished() const { return steps_.empty(); }
    QStringList unexpected;  // texts of dialogs nobody expected

    // Queued, so that the dialog's own nested loops never run inside our step.
    static void Press(QMessageBox* box, QMessageBox::StandardButton which) {
        QMetaObject::invokeMethod(box->button(which), "click", Qt::QueuedConnection);
    }
    static void Accept(QDialog* dialog) { QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection); }
    // As a user types a name into the file dialog and presses Save.
    static void Choose(QFileDialog* dialog, const QString& path) {
        if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(path);
        else dialog->selectFile(path);
        Accept(dialog);
    }
    static void Reject(QDialog* dialog) { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); }

protected:
    // A dialog counts once per showing: one that comes to the front again
    // when a box over it closes is not a new one.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<QDialog*>(object); dialog && dialog->isWindow())
                shown_.push_back(dialog);
        return false;
    }

private:
    void Look() {
        while (!shown_.empty() && (!shown_.front() || !shown_.front()->isVisible())) shown_.pop_front();
        if (shown_.empty() || shown_.front() != QApplication::activeModalWidget()) return;
        QWidget* modal = shown_.front();
        shown_.pop_front();
        if (!steps_.empty()) {
            Step step = std::move(steps_.front());
            steps_.pop_front();
            step(modal);
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        unexpected << (box ? box->text() : modal->windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) Reject(dialog);
    }

    std::deque<Step> steps_;
    std::deque<QPointer<QWidget>> shown_;
    QTimer poll_;
};

}  // namespace tapelark::testing
