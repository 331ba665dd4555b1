// SPDX-License-Identifier: MIT
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include <QtGui/QFontInfo>
#include <QtGui/QImage>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include "platform/qt/GraphicalButton.h"
#include "platform/qt/QtFormWindow.h"
#include "window/FormLayout.h"

namespace tapelark {
namespace {

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The bounding box and count of the pixels that match.
struct Ink {
    QRect box;
    int count = 0;
};
template <typename Match>
Ink InkWhere(const QImage& image, Match match) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y))) {
                ink.box = ink.box.united(QRect(x, y, 1, 1));
                ++ink.count;
            }
    return ink;
}
Ink InkOf(const QImage& image, QRgb colour) {
    return InkWhere(image, [colour](QRgb p) { return (p & 0xFFFFFF) == (colour & 0xFFFFFF); });
}
// Yellow text, also where its edges are smoothed into the black.
Ink YellowInk(const QImage& image) {
    return InkWhere(image, [](QRgb p) { return qRed(p) > 120 && qAbs(qRed(p) - qGreen(p)) < 40 && qBlue(p) < 40; });
}

class MainWindow : public ::testing::Test {
protected:
    QtFormWindow window;
    QWidget* Widget(Control c) { return window.ControlWidget(c); }
};

TEST_F(MainWindow, StartsWithOnlyRecordAndStartVgsEnabledAndTheTimerStoppedTickingEachSecondOnceStarted) {
    std::map<Control, bool> expected{{Control::btnSaveWave, false}, {Control::btnPlayWave, false},
                                     {Control::btnStopWave, false}, {Control::btnWaveRec, true},
                                     {Control::btnWaveClear, false}, {Control::Command1, true}};
    for (auto [control, enabled] : expected)
        EXPECT_EQ(Widget(control)->isEnabled(), enabled) << LayoutOf(control).id;
    EXPECT_FALSE(window.TimerRunning());
    EXPECT_EQ(window.TimerInterval(), 1000);
    window.StartTimer();
    EXPECT_TRUE(window.TimerRunning());
    window.StopTimer();
    EXPECT_FALSE(window.TimerRunning());
}

TEST_F(MainWindow, TheStatusLineStartsWithThreeBlanksInYellowOnBlack) {
    auto* status = qobject_cast<QLabel*>(Widget(Control::lblStatus));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->text(), "   Press Record button, then start the emulator to record music.");
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0x00));
    const QImage image = Grab(status);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0x000000u);
    const Ink yellow = YellowInk(image);
    EXPECT_GT(yellow.count, 0);
    // Nothing yellow where the three blanks stand.
    EXPECT_GE(yellow.box.left(), 6);
}

TEST_F(MainWindow, ControlsStandAtThePixelsOfTheLayoutAt96Dpi) {
    const std::map<Control, QRect> pixels{
        {Control::btnSaveWave, {165, 10, 26, 25}},  {Control::btnPlayWave, {139, 10, 27, 25}},
        {Control::btnStopWave, {115, 10, 26, 25}},  {Control::lblStatus, {4, 48, 286, 16}},
        {Control::btnWaveRec, {90, 10, 26, 25}},    {Control::btnWaveClear, {206, 10, 26, 26}},
        {Control::lblCredits, {6, 79, 195, 14}},    {Control::picLogo, {13, 4, 44, 31}},
        {Control::Command1, {206, 73, 76, 22}},     {Control::Label1, {5, 100, 275, 57}}};
    ASSERT_EQ(window.logicalDpiX(), 96);
    for (auto [control, rect] : pixels) EXPECT_EQ(Widget(control)->geometry(), rect) << LayoutOf(control).id;
    EXPECT_EQ(window.size(), QSize(289, 158));
    EXPECT_EQ(window.windowTitle(), "Tapelark - [Another experimental tool]");
}

TEST_F(MainWindow, CannotBeResizedMinimisedOrMaximised) {
    EXPECT_EQ(window.minimumSize(), QSize(289, 158));
    EXPECT_EQ(window.maximumSize(), QSize(289, 158));
    window.resize(600, 400);
    EXPECT_EQ(window.size(), QSize(289, 158));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Grab(&window).pixel(2, 60) & 0xFFFFFF, 0x000000u);  // black background
}

TEST_F(MainWindow, ClosingTheToolWindowEndsTheProgram) {
    window.show();
    QTimer closer, watchdog;
    closer.setSingleShot(true);
    watchdog.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, &window, &QWidget::close);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    closer.start(0);
    watchdog.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(MainWindow, ToolTipsOnTheTransportButtonsAndTheCreditsOnly) {
    const std::map<Control, QString> tips{
        {Control::btnWaveRec, "Record Wave"}, {Control::btnStopWave, "Stop Wave"},
        {Control::btnPlayWave, "Play Wave"},  {Control::btnSaveWave, "Save Wave"},
        {Control::btnWaveClear, "Clear Wave"}, {Control::lblCredits, HomePageAddress()},
        {Control::Command1, ""},              {Control::lblStatus, ""},
        {Control::Label1, ""},                {Control::picLogo, ""}};
    for (auto [control, tip] : tips) EXPECT_EQ(Widget(control)->toolTip(), tip) << LayoutOf(control).id;
}

TEST_F(MainWindow, TabOrderFollowsTheTabIndexAndLabelsTakeNoFocus) {
    for (Control c : {Control::btnSaveWave, Control::btnPlayWave, Control::btnStopWave,
                      Control::btnWaveRec, Control::btnWaveClear, Control::Command1})
        Widget(c)->setEnabled(true);
    std::vector<QString> order;
    QWidget* w = Widget(Control::btnSaveWave);
    do {
        if (w->focusPolicy() & Qt::TabFocus) order.push_back(w->objectName());
        w = w->nextInFocusChain();
    } while (w != Widget(Control::btnSaveWave) && order.size() < 20);
    EXPECT_EQ(order, (std::vector<QString>{"btnSaveWave", "btnPlayWave", "btnStopWave", "btnWaveRec",
                                           "btnWaveClear", "Command1"}));
    for (Control c : {Control::lblStatus, Control::lblCredits, Control::Label1, Control::picLogo})
        EXPECT_EQ(Widget(c)->focusPolicy(), Qt::NoFocus) << LayoutOf(c).id;
}

TEST_F(MainWindow, FacesHaveTheirColours) {
    const std::map<Control, QRgb> faces{{Control::btnWaveRec, 0xFF0000}, {Control::btnStopWave, 0xC0C0FF},
                                        {Control::btnPlayWave, 0xC0C0FF}, {Control::btnSaveWave, 0xC0C0FF},
                                        {Control::btnWaveClear, 0xFFFF00}, {Control::Command1, 0x8080FF},
                                        {Control::Label1, 0xFFFFC0}};
    for (auto [control, rgb] : faces)
    {
        // A spot of face that no text covers: the bottom-right corner inside the bevel.
        const QImage image = Grab(Widget(control));
        EXPECT_EQ(image.pixel(image.width() - 4, image.height() - 4) & 0xFFFFFF, rgb) << LayoutOf(control).id;
    }
    EXPECT_EQ(Widget(Control::lblCredits)->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
    EXPECT_TRUE(Widget(Control::lblCredits)->font().underline());
    EXPECT_FALSE(Widget(Control::lblStatus)->font().underline());
    // Arial, or the face with its metrics, at 8.25 pt: 11 pixels at 96 dpi.
    const QFontInfo status(Widget(Control::lblStatus)->font());
    EXPECT_TRUE(status.family() == "Arial" || status.family() == "Liberation Sans") << status.family().toStdString();
    EXPECT_EQ(status.pixelSize(), 11);
}

TEST_F(MainWindow, GlyphsAreDrawnInTheirShapesPlaysLargerAndGreyedWhenDisabled) {
    const QImage disabled = Grab(Widget(Control::btnStopWave));
    EXPECT_EQ(InkOf(disabled.copy(3, 3, disabled.width() - 6, disabled.height() - 6), 0x000000).count, 0);
    EXPECT_GT(InkOf(disabled, 0x808080).count, 0);
    for (Control c : {Control::btnStopWave, Control::btnPlayWave, Control::btnWaveClear})
        Widget(c)->setEnabled(true);
    // The bevel's black edge is on the right and bottom; look inside it.
    auto inner = [](Control c, QtFormWindow& w) {
        QImage image = Grab(w.ControlWidget(c));
        return InkOf(image.copy(3, 3, image.width() - 6, image.height() - 6), 0x000000);
    };
    const Ink dot = inner(Control::btnWaveRec, window), square = inner(Control::btnStopWave, window),
              arrow = inner(Control::btnPlayWave, window);
    ASSERT_GT(dot.count, 0);
    ASSERT_GT(square.count, 0);
    ASSERT_GT(arrow.count, 0);
    const double squareFill = double(square.count) / (square.box.width() * square.box.height());
    const double dotFill = double(dot.count) / (dot.box.width() * dot.box.height());
    EXPECT_GT(squareFill, 0.95);
    EXPECT_LT(dotFill, 0.95);  // round, not square
    EXPECT_GT(arrow.box.height(), square.box.height());
    EXPECT_GT(arrow.box.height(), arrow.box.width());  // pointing sideways
    EXPECT_TRUE(static_cast<GraphicalButton*>(Widget(Control::btnWaveClear))->ShownGlyph() == Glyph::Cross);
}

TEST_F(MainWindow, TheLogoShowsTheTopLeftOfItsPictureUnscaledAndSaveAPictureNoText) {
    const QImage logo = QImage(":/tapelark/logo.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(logo.size(), QSize(48, 48));
    EXPECT_EQ(Grab(Widget(Control::picLogo)), logo.copy(0, 0, 44, 31));
    auto* save = static_cast<GraphicalButton*>(Widget(Control::btnSaveWave));
    EXPECT_TRUE(save->text().isEmpty());
    save->setEnabled(true);
    const QImage picture = QImage(":/tapelark/save.png").convertToFormat(QImage::Format_RGB32);
    // The picture's top-left pixel is somewhere on the face.
    EXPECT_GT(InkOf(Grab(save), picture.pixel(0, 0)).count, 0);
}

TEST_F(MainWindow, ClicksReachTheirHandlersOnlyWhenEnabled) {
    std::vector<QString> clicked;
    window.SetHandlers({[&clicked](Control name) { clicked.push_back(LayoutOf(name).id); }, nullptr});
    window.show();
    QTest::mouseClick(Widget(Control::btnStopWave), Qt::LeftButton);
    QTest::mouseClick(Widget(Control::btnWaveRec), Qt::LeftButton);
    QTest::mouseClick(Widget(Control::lblCredits), Qt::LeftButton);
    QTest::mouseClick(Widget(Control::Command1), Qt::LeftButton);
    QTest::mouseClick(Widget(Control::Label1), Qt::LeftButton);
    EXPECT_EQ(clicked, (std::vector<QString>{"btnWaveRec", "lblCredits", "Command1"}));
}

}  // namespace
}  // namespace tapelark
