// SPDX-License-Identifier: MIT
// The programs as started from a shell.
#include <gtest/gtest.h>

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>

#include "platform/qt/StartupChecks.h"

namespace tapelark {
namespace {

struct Outcome {
    int exitCode = -1;
    QString out, err;
};

// Run without a display unless `environment` names one.
Outcome Start(const QString& program, const QStringList& arguments, const QStringList& environment = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    for (const QString& setting : environment)
        env.insert(setting.section('=', 0, 0), setting.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(-1));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

TEST(Program, ScreenshotDrawsTheStartUpWindowWithoutADisplay) {
    QTemporaryDir dir;
    const QString png = dir.path() + "/shot.png";
    const Outcome run = Start(TAPELARK_PROGRAM, {"--screenshot", png});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage shot(png);
    ASSERT_EQ(shot.size(), QSize(289, 158));
    EXPECT_EQ(shot.pixel(2, 60) & 0xFFFFFF, 0x000000u);     // background
    EXPECT_EQ(shot.pixel(94, 14) & 0xFFFFFF, 0xFF0000u);    // Record's face
    EXPECT_EQ(shot.pixel(270, 150) & 0xFFFFFF, 0xFFFFC0u);  // the warning
}

// A usage error, or a missing display, is one line on standard error that names what was wrong.
TEST(Program, BothProgramsListTheirOptionsAndRefuseOthersOrAMissingDisplayInOneLine) {
    const Outcome help = Start(TAPELARK_PROGRAM, {"--help"});
    for (const char* option :
         {"--record-from=default|output|emulator|application:TEXT|source:NAME", "--screenshot", "--help"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    QTemporaryDir runtime;
    const QString cannot =
        "tapelark: cannot open the window (%1); to record without a window, use mcisend.\n";
    const struct {
        QString program;
        QStringList arguments, environment;
        int exitCode;
        QString said;  // all of standard error, or for a usage error a part of its one line
    } cases[] = {
        {TAPELARK_PROGRAM, {"--no-such-option"}, {}, 2, "tapelark: unknown option \"--no-such-option\""},
        {TAPELARK_PROGRAM, {"take.wav"}, {}, 2, "tapelark: unexpected argument \"take.wav\""},
        {TAPELARK_PROGRAM, {"--screenshot"}, {}, 2, "tapelark: --screenshot needs"},
        {TAPELARK_PROGRAM, {"--record-from=microphone"}, {}, 2, "\"microphone\""},
        {TAPELARK_PROGRAM, {"--screenshot", "/no-such-folder/shot.png"}, {}, 1, "/no-such-folder/shot.png"},
        {MCISEND_PROGRAM, {"-x", "close all"}, {}, 2, "mcisend: unknown option \"-x\"; see mcisend --help"},
        {TAPELARK_PROGRAM, {}, {}, 1, QString(kNoDisplayLine) + "\n"},
        {TAPELARK_PROGRAM, {}, {"DISPLAY=:249"}, 1, cannot.arg("the X11 display :249 does not answer")},
        // Wayland asked for where only X11 is at hand.
        {TAPELARK_PROGRAM,
         {},
         {"DISPLAY=:249", "QT_QPA_PLATFORM=wayland", "XDG_RUNTIME_DIR=" + runtime.path()},
         1,
         cannot.arg("no Wayland display: WAYLAND_DISPLAY is not set")},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.program, c.arguments, c.environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(c.arguments.isEmpty() ? run.err == c.said : run.err.contains(c.said))
            << run.err.toStdString();
        if (c.exitCode == 2) EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace tapelark
