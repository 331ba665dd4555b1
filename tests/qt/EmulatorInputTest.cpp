// SPDX-License-Identifier: MIT
// The program started to record only the emulator: the window's own Record,
// Stop and Save, the real engine over a real sound server, the emulator's
// install location from a Wine prefix's registry, and two programs playing.
#include <cmath>
#include <vector>

#include <sndfile.h>

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QFileDialog>

#include "platform/qt/QtProgram.h"
#include "tests/mci/SoundPlayers.h"
#include "tests/qt/ModalAnswerer.h"

namespace tapelark::testing {
namespace {

// Amplitude of one frequency in a mono signal (Goertzel).
double Strength(const std::vector<double>& x, double frequency) {
    const double k = 2 * std::cos(2 * M_PI * frequency / 44100);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s = v + k * s1 - s2;
        s2 = s1, s1 = s;
    }
    return 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - k * s1 * s2)) / x.size();
}

QString Tone(const QTemporaryDir& dir, int frequency, double seconds) {
    const QString path = dir.path() + QString("/%1.wav").arg(frequency);
    EXPECT_EQ(QProcess::execute("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth",
                                        QString::number(seconds), "sine", QString::number(frequency), "vol",
                                        "0.3"}),
              0);
    return path;
}

TEST(EmulatorInput, TheWindowRecordsOnlyTheEmulatorNamedInTheRegistry) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile reg(dir.path() + "/system.reg");
    ASSERT_TRUE(reg.open(QIODevice::WriteOnly));
    reg.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
              "[Software\\\\Connectix\\\\Connectix Virtual Game Station\\\\General] 1733500000\n"
              "\"Location\"=\"C:\\\\Games\\\\VGS\\\\VGS.EXE\"\n");
    reg.close();
    qputenv("WINEPREFIX", dir.path().toUtf8());
    const QString emulatorTone = Tone(dir, 440, 1.5), otherTone = Tone(dir, 880, 6);
    const QString saved = dir.path() + "/emulator take.wav";

    QtProgram app({CaptureInput::Kind::Emulator, ""});
    app.Window().show();
    SoundProcess listener = Listener("null.monitor");
    SoundProcess other = Player("/usr/bin/mediaplayer", otherTone.toStdString());
    QTest::mouseClick(app.Window().ControlWidget(Control::btnWaveRec), Qt::LeftButton);
    QTest::qWait(500);
    {
        SoundProcess emulator = Player("C:\\Games\\VGS\\vgs.exe", emulatorTone.toStdString());
        EXPECT_EQ(emulator.Wait(), 0);
    }
    QTest::qWait(300);
    QTest::mouseClick(app.Window().ControlWidget(Control::btnStopWave), Qt::LeftButton);

    ModalAnswerer answerer({
        [&](QWidget* w) { ModalAnswerer::Choose(qobject_cast<QFileDialog*>(w), saved); },
        [&](QWidget* w) { ModalAnswerer::Press(qobject_cast<QMessageBox*>(w), QMessageBox::Yes); },
    });
    QTest::mouseClick(app.Window().ControlWidget(Control::btnSaveWave), Qt::LeftButton);
    EXPECT_TRUE(answerer.unexpected.isEmpty()) << answerer.unexpected.join(" | ").toStdString();

    SF_INFO info{};
    SNDFILE* file = sf_open(saved.toUtf8().constData(), SFM_READ, &info);
    ASSERT_TRUE(file) << sf_strerror(nullptr);
    std::vector<short> frames(static_cast<std::size_t>(info.frames) * 2);
    ASSERT_EQ(sf_readf_short(file, frames.data(), info.frames), info.frames);
    sf_close(file);
    std::vector<double> left;
    for (std::size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i] / 32768.0);
    EXPECT_GT(Strength(left, 440), 0.05) << "the emulator is not in the recording";
    EXPECT_LT(Strength(left, 880), 0.002) << "another program is in the recording";
}

TEST(EmulatorInput, TheCommandLineNamesTheChoicesAndRefusesOthers) {
    QProcess help;
    help.start(TAPELARK_PROGRAM, {"--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_TRUE(help.readAllStandardOutput().contains(
        "--record-from=default|output|emulator|application:TEXT|source:NAME"));
    QProcess wrong;
    wrong.start(TAPELARK_PROGRAM, {"--record-from=microphone"});
    ASSERT_TRUE(wrong.waitForFinished(10000));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_EQ(wrong.readAllStandardError().count('\n'), 1);
}

}  // namespace
}  // namespace tapelark::testing
