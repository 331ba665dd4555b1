// SPDX-License-Identifier: MIT
// The program as a user meets it: clicks on the widgets, the real MCI engine
// recording from a real PulseAudio server, and the WAVE file on disk.
#include <cmath>
#include <vector>

#include <sndfile.h>

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QDirIterator>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLabel>

#include "platform/qt/QtProgram.h"
#include "tests/qt/ModalAnswerer.h"

namespace tapelark::testing {
namespace {

// Strength of one frequency in a mono signal (Goertzel), per sample.
double Strength(const std::vector<double>& samples, double frequency, double rate) {
    const double w = 2 * M_PI * frequency / rate, coefficient = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (double x : samples) {
        const double s = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - coefficient * s1 * s2) / samples.size();
}

void Click(QtProgram& app, Control control) {
    QWidget* widget = app.Window().ControlWidget(control);
    ASSERT_TRUE(widget->isEnabled()) << LayoutOf(control).id;
    QTest::mouseClick(widget, Qt::LeftButton);
}

TEST(EndToEnd, RecordAToneStopAndSaveItThroughTheWindowWritingNothingIntoHome) {
    QTemporaryDir dir, home;
    ASSERT_TRUE(dir.isValid() && home.isValid());
    // The program writes no settings: an empty home stays empty throughout.
    // The test's own player is a sound-server client too; it keeps the real home.
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "WINEPREFIX"})
        qunsetenv(name);
    const QString tone = dir.path() + "/tone.wav", saved = dir.path() + "/take one.wav";
    ASSERT_EQ(QProcess::execute("sox", {"-n", "-r", "44100", "-c", "2", "-b", "16", tone, "synth", "2",
                                        "sine", "440", "vol", "0.5"}),
              0);

    QtProgram app;
    app.Window().show();
    // Answers the save dialog and its question; an error box instead fails the test.
    QStringList wrong;
    ModalAnswerer answerer({
        [&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return wrong << w->windowTitle(), ModalAnswerer::Reject(qobject_cast<QDialog*>(w));
            ModalAnswerer::Choose(d, saved);
        },
        [&](QWidget* w) {  // "does not exist, create it?"
            auto* b = qobject_cast<QMessageBox*>(w);
            if (!b || !b->text().contains("create")) return wrong << w->windowTitle(), ModalAnswerer::Reject(qobject_cast<QDialog*>(w));
            ModalAnswerer::Press(b, QMessageBox::Yes);
        },
    });

    Click(app, Control::btnWaveRec);
    auto* status = qobject_cast<QLabel*>(app.Window().ControlWidget(Control::lblStatus));
    EXPECT_TRUE(status->text().startsWith("RECORDING: ")) << status->text().toStdString();
    ASSERT_EQ(QProcess::execute("env", {"HOME=" + QString::fromLocal8Bit(realHome), "paplay", tone}),
              0);  // returns when the tone has played
    Click(app, Control::btnStopWave);
    EXPECT_TRUE(status->text().startsWith("STOPPED: ")) << status->text().toStdString();
    EXPECT_TRUE(app.Window().ControlWidget(Control::btnSaveWave)->isEnabled());
    EXPECT_FALSE(app.Window().TimerRunning());

    Click(app, Control::btnSaveWave);
    EXPECT_TRUE(answerer.Finished());
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join(" | ").toStdString();
    EXPECT_TRUE(answerer.unexpected.isEmpty()) << answerer.unexpected.join(" | ").toStdString();

    SF_INFO info{};
    SNDFILE* file = sf_open(saved.toUtf8().constData(), SFM_READ, &info);
    ASSERT_TRUE(file) << sf_strerror(nullptr);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::vector<short> frames(static_cast<std::size_t>(info.frames) * 2);
    ASSERT_EQ(sf_readf_short(file, frames.data(), info.frames), info.frames);
    sf_close(file);
    ASSERT_GT(info.frames, 44100);  // at least a second of the two played

    std::vector<double> left;
    for (std::size_t i = 0; i < frames.size(); i += 2) left.push_back(frames[i] / 32768.0);
    const double at440 = Strength(left, 440, 44100), at1000 = Strength(left, 1000, 44100);
    EXPECT_GT(at440, 0.05) << "the tone is not in the recording";
    EXPECT_GT(at440, 20 * at1000);

    Click(app, Control::btnPlayWave);
    Click(app, Control::btnWaveClear);
    {
        ModalAnswerer closesWhatComes({});  // no emulator here: its messages are closed
        Click(app, Control::Command1);
    }
    QStringList written;
    for (QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        written << it.next();
    EXPECT_TRUE(written.isEmpty()) << written.join(", ").toStdString();
}

}  // namespace
}  // namespace tapelark::testing
