// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <map>
#include <optional>

#include <QtCore/QTimer>
#include <QtWidgets/QLabel>
#include <QtWidgets/QWidget>

#include "window/FormHandlers.h"
#include "window/FormLayout.h"
#include "window/FormView.h"

namespace tapelark {

class GraphicalButton;
struct X11Framing;

// The main window in Qt Widgets, built from the layout data. It only draws
// and reports clicks and ticks; what they do is wired from outside.
class QtFormWindow final : public QWidget, public FormView {
public:
    explicit QtFormWindow(QWidget* parent = nullptr);

    void SetHandlers(FormHandlers handlers) { handlers_ = std::move(handlers); }
    // Centres the window, its frame counted: now, and again once the window
    // manager has framed the shown window.
    void CentreOnScreen();

    QWidget* ControlWidget(Control control) const;
    // Twips -> pixels on this window's screen.
    int Pixels(int twips) const;
    int TimerInterval() const { return timer_.interval(); }

    void SetEnabled(Control button, bool enabled) override;
    void StartTimer() override;
    void StopTimer() override;
    bool TimerRunning() override;
    void SetStatusText(const std::string& text) override;
    std::uintptr_t OwnerHandle() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void CentreFramed(const X11Framing& framing);
    QWidget* Build(const ControlLayout& layout);
    QFont FontOf(const FontSpec& spec) const;

    std::map<Control, QWidget*> controls_;
    FormHandlers handlers_;
    QTimer timer_;
    int dpi_ = 96;
    QTimer frameWatch_;
    int frameChecks_ = 0;
};

}  // namespace tapelark
