// SPDX-License-Identifier: MIT
#include "platform/qt/QtFormWindow.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtGui/QWindow>

#include "platform/qt/ClickableLabel.h"
#include "platform/qt/X11Frame.h"
#include "platform/qt/GraphicalButton.h"
#include "platform/qt/Pictures.h"

namespace tapelark {
namespace {

QColor ToQColor(const Colour& colour) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | colour.rgb));
}

// Metric-compatible stand-ins for the Windows faces the layout names.
QStringList Families(const char* name) {
    const QString face = QString::fromUtf8(name);
    return {face, QStringLiteral("Liberation Sans")};
}

}  // namespace

QtFormWindow::QtFormWindow(QWidget* parent) : QWidget(parent) {
    const WindowLayout& window = FormWindowLayout();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) dpi_ = qRound(screen->logicalDotsPerInchX());

    // A tool window: narrow title bar with a close button only.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // Qt lets a tool window close without ending the program; this one is the
    // program's only window.
    setAttribute(Qt::WA_QuitOnClose, true);
    setWindowTitle(QString::fromUtf8(window.title));
    // On Wayland the toolkit draws the title bar, with the icon before a
    // title that it centres over the whole bar: without an icon the title
    // shows from its start. The desktop shows the icon from the desktop entry.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) setWindowIcon(ProgramIcon());
    setFixedSize(Pixels(window.clientWidth), Pixels(window.clientHeight));
    QPalette background = palette();
    background.setColor(QPalette::Window, ToQColor(window.background));
    setPalette(background);
    setAutoFillBackground(true);
    setFont(FontOf(window.font));

    QWidget* previous = nullptr;
    for (const ControlLayout& layout : FormControls()) {
        QWidget* widget = Build(layout);
        controls_[layout.name] = widget;
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }

    timer_.setInterval(kStatusTimerMilliseconds);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (handlers_.ticked) handlers_.ticked();
    });
}

QWidget* QtFormWindow::Build(const ControlLayout& layout) {
    QWidget* widget = nullptr;
    auto handle = [this, name = layout.name] {
        if (handlers_.clicked) handlers_.clicked(name);
    };
    const QString caption = layout.caption ? QString::fromUtf8(layout.caption) : QString();

    switch (layout.kind) {
        case ControlKind::GraphicalButton: {
            auto* button = new GraphicalButton(this);
            button->SetFace(layout.face.platformDefault ? QColor() : ToQColor(layout.face));
            const bool glyph = layout.font.name && QString(layout.font.name) == kGlyphFont;
            if (layout.picture != Picture::None) {
                button->SetPicture(PictureOf(layout.picture));
            } else if (glyph) {
                button->SetGlyph(GlyphForLetter(layout.caption[0]), layout.font.points * dpi_ / 72.0);
                button->setAccessibleName(QString::fromUtf8(layout.toolTip ? layout.toolTip : layout.id));
            } else {
                button->setText(caption);
                button->setFont(FontOf(layout.font));
            }
            if (layout.clickable) connect(button, &QAbstractButton::clicked, this, handle);
            widget = button;
            break;
        }
        case ControlKind::Label: {
            auto* label = new ClickableLabel(caption, this);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setFont(FontOf(layout.font));
            label->setFocusPolicy(Qt::NoFocus);
            QPalette colours = label->palette();
            if (!layout.text.platformDefault) colours.setColor(QPalette::WindowText, ToQColor(layout.text));
            else colours.setColor(QPalette::WindowText, Qt::black);
            if (!layout.face.platformDefault) {
                colours.setColor(QPalette::Window, ToQColor(layout.face));
                label->setAutoFillBackground(true);
            }
            label->setPalette(colours);
            if (layout.clickable) {
                label->setCursor(Qt::PointingHandCursor);
                label->clicked = handle;
            }
            widget = label;
            break;
        }
        case ControlKind::PictureBox: {
            auto* picture = new QLabel(this);
            picture->setPixmap(PictureOf(layout.picture));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            picture->setScaledContents(false);
            picture->setFocusPolicy(Qt::NoFocus);
            widget = picture;
            break;
        }
    }
    widget->setObjectName(QString::fromUtf8(layout.id));
    widget->setGeometry(Pixels(layout.left), Pixels(layout.top), Pixels(layout.width),
                        Pixels(layout.height));
    if (layout.toolTip) widget->setToolTip(QString::fromUtf8(layout.toolTip));
    widget->setEnabled(layout.enabledAtStart);
    return widget;
}

QFont QtFormWindow::FontOf(const FontSpec& spec) const {
    const FontSpec& own = spec.name ? spec : FormWindowLayout().font;
    QFont font;
    font.setFamilies(Families(own.name));
    font.setPointSizeF(own.points);
    font.setWeight(static_cast<QFont::Weight>(own.weight));
    font.setUnderline(own.underline);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

int QtFormWindow::Pixels(int twips) const { return TwipsToPixels(twips, dpi_); }


void QtFormWindow::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
    // The frame's size is known only once the window manager has framed the
    // shown window; centre once more then.
    if (!X11FrameExtentsKnowable()) return;
    frameChecks_ = 0;
    if (!frameWatch_.isActive()) {
        frameWatch_.setInterval(50);
        connect(&frameWatch_, &QTimer::timeout, this, [this] {
            if (!isVisible()) return;
            if (const std::optional<X11Framing> framing = X11FramingOf(winId())) {
                CentreFramed(*framing);
                frameWatch_.stop();
            } else if (++frameChecks_ > 40) {
                frameWatch_.stop();  // no window manager, or one without frames
            }
        });
    }
    frameWatch_.start();
}

// In device pixels throughout: the frame comes from the X server in them,
// and Qt's logical units at another scale factor would put the window off
// centre by the factor.
void QtFormWindow::CentreFramed(const X11Framing& framing) {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const qreal ratio = screen->devicePixelRatio();
    const QPoint origin = screen->geometry().topLeft();  // Qt scales a screen about its corner
    const QRect logical = screen->availableGeometry();
    const QRect area(origin + (logical.topLeft() - origin) * ratio, logical.size() * ratio);
    QRect frame(QPoint(), framing.window.grownBy(framing.frame));
    frame.moveCenter(area.center());
    X11MoveWindow(winId(), frame.topLeft() + QPoint(framing.frame.left(), framing.frame.top()));
}

void QtFormWindow::changeEvent(QEvent* event) {
    // A window of fixed size is never maximized, also where the title bar
    // offers it anyway (the toolkit's own on Wayland).
    constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kLarge))
        setWindowState(windowState() & ~kLarge);
    QWidget::changeEvent(event);
}

QWidget* QtFormWindow::ControlWidget(Control control) const { return controls_.at(control); }

void QtFormWindow::SetEnabled(Control button, bool enabled) { controls_.at(button)->setEnabled(enabled); }

void QtFormWindow::StartTimer() { timer_.start(); }

void QtFormWindow::StopTimer() { timer_.stop(); }

bool QtFormWindow::TimerRunning() { return timer_.isActive(); }

void QtFormWindow::SetStatusText(const std::string& text) {
    static_cast<QLabel*>(controls_.at(Control::lblStatus))->setText(QString::fromUtf8(text));
}

std::uintptr_t QtFormWindow::OwnerHandle() { return static_cast<std::uintptr_t>(winId()); }

}  // namespace tapelark
