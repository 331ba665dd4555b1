// SPDX-License-Identifier: MIT
// The tapelark program as started from a shell.
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

Outcome Start(const QStringList& arguments, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(TAPELARK_PROGRAM, arguments);
    EXPECT_TRUE(process.waitForFinished(-1));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    return env;
}

TEST(Program, ScreenshotDrawsTheStartUpWindowWithoutADisplay) {
    QTemporaryDir dir;
    const QString png = dir.path() + "/shot.png";
    const Outcome run = Start({"--screenshot", png}, WithoutDisplay());
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage shot(png);
    ASSERT_EQ(shot.size(), QSize(289, 158));
    EXPECT_EQ(shot.pixel(2, 60) & 0xFFFFFF, 0x000000u);       // background
    EXPECT_EQ(shot.pixel(94, 14) & 0xFFFFFF, 0xFF0000u);      // Record's face
    EXPECT_EQ(shot.pixel(210, 14) & 0xFFFFFF, 0xFFFF00u);     // Clear's face
    EXPECT_EQ(shot.pixel(270, 150) & 0xFFFFFF, 0xFFFFC0u);    // the warning
}

TEST(Program, WithoutAReachableDisplayItSaysSoInOneLine) {
    QProcessEnvironment unreachable = WithoutDisplay();
    unreachable.insert("DISPLAY", ":249");
    for (const QProcessEnvironment& env : {WithoutDisplay(), unreachable}) {
        const Outcome run = Start({}, env);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QString(kNoDisplayLine) + "\n");
    }
}

TEST(Program, TheCommandLineNamesTheInputsToRecordFromAndWhatItCannotDo) {
    const Outcome help = Start({"--help"}, QProcessEnvironment::systemEnvironment());
    EXPECT_TRUE(help.out.contains("--record-from=default|output|emulator|application:TEXT|source:NAME"));
    const struct {
        QStringList arguments;
        int exitCode;
        QString said;
    } cases[] = {
        {{"--record-from=microphone"}, 2, "\"microphone\""},
        {{"--screenshot", "/nonexistent-folder/shot.png"}, 1, "/nonexistent-folder/shot.png"},
    };
    for (const auto& c : cases) {
        const Outcome run = Start(c.arguments, WithoutDisplay());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(c.said)) << run.err.toStdString();
    }
}

}  // namespace
}  // namespace tapelark
