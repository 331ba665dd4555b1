// SPDX-License-Identifier: MIT
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include <QtGui/QFontInfo>
#include <QtGui/QImage>
#include <QtTest/QTest>

#include "platform/qt/GraphicalButton.h"
#include "platform/qt/QtFormWindow.h"
#include "window/FormLayout.h"

namespace tapelark {
namespace {

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The bounding box and count of the pixels that match, `inset` pixels inside
// the edges (a button's bevel has its black edge on the right and bottom).
struct Ink {
    QRect box;
    int count = 0;
    double Fill() const { return double(count) / (box.width() * box.height()); }
};
Ink InkWhere(const QImage& image, const std::function<bool(QRgb)>& match, int inset = 0) {
    Ink ink;
    for (int y = inset; y < image.height() - inset; ++y)
        for (int x = inset; x < image.width() - inset; ++x)
            if (match(image.pixel(x, y))) {
                ink.box = ink.box.united(QRect(x, y, 1, 1));
                ++ink.count;
            }
    return ink;
}
Ink InkOf(QWidget* widget, QRgb colour, int inset = 0) {
    return InkWhere(
        Grab(widget), [colour](QRgb p) { return (p & 0xFFFFFF) == (colour & 0xFFFFFF); }, inset);
}

class MainWindow : public ::testing::Test {
protected:
    QtFormWindow window;
    QWidget* Widget(Control c) { return window.ControlWidget(c); }
};

TEST_F(MainWindow, EachControlHasItsPlaceStateToolTipAndFaceInAWindowOfFixedSizeNeverMaximized) {
    ASSERT_EQ(window.logicalDpiX(), 96);
    const auto px = [](int twips) { return TwipsToPixels(twips, 96); };
    for (const ControlLayout& c : FormControls()) {
        SCOPED_TRACE(c.id);
        QWidget* widget = Widget(c.name);
        EXPECT_EQ(widget->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)));
        EXPECT_EQ(widget->isEnabled(), c.enabledAtStart);
        EXPECT_EQ(widget->toolTip(), c.toolTip ? c.toolTip : "");
        EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, c.kind == ControlKind::GraphicalButton);
        // A spot of face that no text covers: the bottom-right corner inside the bevel.
        const QImage image = Grab(widget);
        if (!c.face.platformDefault && c.kind != ControlKind::PictureBox)
            EXPECT_EQ(image.pixel(image.width() - 4, image.height() - 4) & 0xFFFFFF, c.face.rgb);
    }
    // Its frame, size hints, title and centring are checked on the real program (check-tool-window).
    window.resize(600, 400);
    window.showMaximized();  // as the toolkit's own title bar on Wayland offers
    EXPECT_EQ(window.size(), QSize(289, 158));
    EXPECT_FALSE(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    // Wayland's title bar (the toolkit's) centres the title: the icon before it would hide its start.
    EXPECT_EQ(window.windowIcon().isNull(), QGuiApplication::platformName().startsWith("wayland"));
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST_F(MainWindow, TheStatusLineStartsWithThreeBlanksInYellowArialOnBlack) {
    auto* status = qobject_cast<QLabel*>(Widget(Control::lblStatus));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), "   Press Record button, then start the emulator to record music.");
    const QImage image = Grab(status);
    // Yellow text, also where its edges are smoothed into the black.
    const Ink yellow = InkWhere(
        image, [](QRgb p) { return qRed(p) > 120 && qAbs(qRed(p) - qGreen(p)) < 40 && qBlue(p) < 40; });
    EXPECT_GT(yellow.count, 0);
    EXPECT_GE(yellow.box.left(), 6);  // nothing yellow where the three blanks stand
    // Arial, or the face with its metrics, at 8.25 pt: 11 pixels at 96 dpi.
    const QFontInfo font(status->font());
    EXPECT_TRUE(font.family() == "Arial" || font.family() == "Liberation Sans") << qPrintable(font.family());
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_EQ(Widget(Control::lblCredits)->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
    EXPECT_TRUE(Widget(Control::lblCredits)->font().underline());
}

TEST_F(MainWindow, GlyphsPicturesAndTheLogoAreDrawnInTheirShapes) {
    EXPECT_EQ(InkOf(Widget(Control::btnStopWave), 0x000000, 3).count, 0);  // greyed while disabled
    EXPECT_GT(InkOf(Widget(Control::btnStopWave), 0x808080).count, 0);
    for (const auto& c : FormControls()) Widget(c.name)->setEnabled(true);
    const Ink dot = InkOf(Widget(Control::btnWaveRec), 0x000000, 3);
    const Ink square = InkOf(Widget(Control::btnStopWave), 0x000000, 3);
    const Ink arrow = InkOf(Widget(Control::btnPlayWave), 0x000000, 3);
    ASSERT_TRUE(dot.count > 0 && square.count > 0 && arrow.count > 0);
    EXPECT_GT(square.Fill(), 0.95);
    EXPECT_LT(dot.Fill(), 0.95);  // round, not square
    EXPECT_GT(arrow.box.height(), square.box.height());
    EXPECT_GT(arrow.box.height(), arrow.box.width());  // pointing sideways
    EXPECT_TRUE(static_cast<GraphicalButton*>(Widget(Control::btnWaveClear))->ShownGlyph() == Glyph::Cross);
    // Save shows a picture and no text; the logo the top-left of its picture, unscaled.
    EXPECT_TRUE(static_cast<GraphicalButton*>(Widget(Control::btnSaveWave))->text().isEmpty());
    const QImage save = QImage(":/tapelark/save.png").convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(InkOf(Widget(Control::btnSaveWave), save.pixel(0, 0)).count, 0);
    const QImage logo = QImage(":/tapelark/logo.png").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Grab(Widget(Control::picLogo)), logo.copy(0, 0, 44, 31));
}

// Then with every control enabled: the clickable ones, Play, Stop, Save and Clear too.
TEST_F(MainWindow, ClicksReachTheirHandlersOnlyWhenEnabled) {
    std::vector<QString> clicked;
    window.SetHandlers({[&clicked](Control name) { clicked.push_back(LayoutOf(name).id); }, nullptr});
    window.show();
    for (bool enableAll : {false, true})
        for (const auto& c : FormControls()) {
            if (enableAll) Widget(c.name)->setEnabled(true);
            QTest::mouseClick(Widget(c.name), Qt::LeftButton);
        }
    EXPECT_EQ(clicked,
              (std::vector<QString>{"btnWaveRec", "lblCredits", "Command1", "btnSaveWave", "btnPlayWave",
                                    "btnStopWave", "btnWaveRec", "btnWaveClear", "lblCredits", "Command1"}));
}

}  // namespace
}  // namespace tapelark
