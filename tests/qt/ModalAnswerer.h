// SPDX-License-Identifier: MIT
#pragma once
// Answers the modal dialogs that a call opens, one scripted step per dialog
// as it comes to the front. A dialog that no step expected is noted and
// closed, so a test fails instead of hanging.
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
    // Answers one dialog; false when it is not the dialog the step expects.
    using Step = std::function<bool(QWidget*)>;

    explicit ModalAnswerer(std::deque<Step> steps) : steps_(std::move(steps)) {
        qApp->installEventFilter(this);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Look(); });
        poll_.start(5);
    }
    ~ModalAnswerer() override { qApp->removeEventFilter(this); }

    bool Finished() const { return steps_.empty(); }
    QStringList unexpected;  // texts of dialogs that no step expected

    // Types `path` into the file dialog and presses Save, as a user does.
    static Step Choose(const QString& path) {
        return [path](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) return false;
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) edit->setText(path);
            else dialog->selectFile(path);
            Queue(dialog, "accept");
            return true;
        };
    }
    // Presses `which` on a message box, keeping its text in `text`.
    static Step Press(QMessageBox::StandardButton which, QString* text = nullptr) {
        return [which, text](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->button(which)) return false;
            if (text != nullptr) *text = box->text();
            Queue(box->button(which), "click");
            return true;
        };
    }
    // Queued, so that the dialog's own nested loops never run inside a step.
    static void Queue(QObject* target, const char* slot) {
        QMetaObject::invokeMethod(target, slot, Qt::QueuedConnection);
    }

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
            const Step step = std::move(steps_.front());
            steps_.pop_front();
            if (step(modal)) return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        unexpected << (box ? box->text() : modal->windowTitle());
        Queue(modal, "reject");
    }

    std::deque<Step> steps_;
    std::deque<QPointer<QWidget>> shown_;
    QTimer poll_;
};

}  // namespace tapelark::testing
