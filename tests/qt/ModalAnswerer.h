// SPDX-License-Identifier: MIT
#pragma once
// Answers the modal dialogs that a call opens, one scripted step per dialog
// as it shows. A dialog that no step expected is noted and closed, so a test
// fails instead of hanging.
#include <deque>
#include <functional>

#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
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
    }

    bool Finished() const { return steps_.empty(); }
    QStringList unexpected;  // texts of dialogs that no step expected

    // Types `path` into the file dialog and presses Save, as a user does.
    static Step Choose(const QString& path) {
        return [path](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (dialog) dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
            return dialog && Queue(dialog, "accept");
        };
    }
    // Presses `which` on a message box, keeping its text in `text`.
    static Step Press(QMessageBox::StandardButton which, QString* text = nullptr) {
        return [which, text](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->button(which)) return false;
            if (text != nullptr) *text = box->text();
            return Queue(box->button(which), "click");
        };
    }
    // Queued, so that the dialog's own nested loops never run inside a step.
    static bool Queue(QObject* target, const char* slot) {
        return QMetaObject::invokeMethod(target, slot, Qt::QueuedConnection);
    }

protected:
    // Each showing is answered once, from inside the dialog's own loop; one
    // that comes to the front again when a box over it closes is not shown anew.
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* dialog = qobject_cast<QDialog*>(object);
        if (event->type() == QEvent::Show && dialog != nullptr && dialog->isWindow()) {
            QTimer::singleShot(0, this, [this, shown = QPointer<QDialog>(dialog)] {
                if (!shown || !shown->isVisible()) return;
                if (!steps_.empty()) {
                    const Step step = std::move(steps_.front());
                    steps_.pop_front();
                    if (step(shown)) return;
                }
                auto* box = qobject_cast<QMessageBox*>(shown.data());
                unexpected << (box ? box->text() : shown->windowTitle());
                Queue(shown, "reject");
            });
        }
        return false;
    }

private:
    std::deque<Step> steps_;
};

}  // namespace tapelark::testing
