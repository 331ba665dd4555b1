// SPDX-License-Identifier: MIT
// The program as a user meets it: clicks on the widgets, the real MCI engine
// recording from a real PulseAudio server, and the WAVE file on disk; and a
// take that a killed mcisend left behind, offered back at the next starts.
#include <fstream>

#include <gtest/gtest.h>

#include <QtCore/QDirIterator>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtTest/QTest>
#include <QtWidgets/QLabel>

#include "platform/qt/QtProgram.h"
#include "platform/qt/QtUnsavedTakesOffer.h"
#include "tests/mci/SoundPlayers.h"
#include "tests/mci/Take.h"
#include "tests/qt/ModalAnswerer.h"

namespace tapelark::testing {
namespace {

QString Tone(const QTemporaryDir& dir, int frequency, double seconds, double volume) {
    const QString path = dir.path() + QString("/%1.wav").arg(frequency);
    EXPECT_TRUE(MakeTone(path.toStdString(), frequency, seconds, volume)) << path.toStdString();
    return path;
}

// Amplitude of one frequency over the whole of a saved take (left channel).
double Strength(const QString& path, double frequency) {
    const Take take(path.toStdString());
    return take.Strength(frequency, 0, take.Seconds());
}

void Click(QtProgram& app, Control control) {
    QWidget* widget = app.Window().ControlWidget(control);
    ASSERT_TRUE(widget->isEnabled()) << LayoutOf(control).id;
    QTest::mouseClick(widget, Qt::LeftButton);
}

// Save, a name typed into the file dialog, and Yes to creating the file.
void SaveAs(QtProgram& app, const QString& path) {
    ModalAnswerer answerer({ModalAnswerer::Choose(path), ModalAnswerer::Press(QMessageBox::Yes)});
    Click(app, Control::btnSaveWave);
    EXPECT_TRUE(answerer.unexpected.isEmpty()) << answerer.unexpected.join(" | ").toStdString();
}

TEST(EndToEnd, RecordAToneStopAndSaveItThroughTheWindowWritingNothingIntoHome) {
    QTemporaryDir dir, home;
    ASSERT_TRUE(dir.isValid() && home.isValid());
    // The program writes no settings: an empty home stays empty throughout.
    // The test's own player is a sound-server client too; it keeps the real home.
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    for (auto name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "WINEPREFIX"})
        qunsetenv(name);
    const QString tone = Tone(dir, 440, 2, 0.5), saved = dir.path() + "/take one.wav";

    QtProgram app;
    app.Window().show();
    Click(app, Control::btnWaveRec);
    auto* status = qobject_cast<QLabel*>(app.Window().ControlWidget(Control::lblStatus));
    EXPECT_EQ(app.Window().TimerInterval(), 1000);
    // Nothing plays yet, and the status line says so after a while; the tone ends that.
    QTRY_VERIFY_WITH_TIMEOUT(status->text().endsWith(kNothingHeardNote), 10000);
    QProcess player;
    player.start("env", {"HOME=" + QString::fromLocal8Bit(realHome), "paplay", tone});
    QTRY_VERIFY_WITH_TIMEOUT(!status->text().endsWith(kNothingHeardNote), 10000);
    ASSERT_TRUE(player.waitForFinished(10000) && player.exitCode() == 0);
    Click(app, Control::btnStopWave);
    SaveAs(app, saved);

    EXPECT_GT(Strength(saved, 440), 0.1) << "the tone is not in the recording";

    Click(app, Control::btnPlayWave);
    Click(app, Control::btnWaveClear);
    ModalAnswerer closesWhatComes({});  // no emulator here: its messages are closed
    Click(app, Control::Command1);
    QStringList written;
    for (QDirIterator it(home.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
         it.hasNext();)
        written << it.next();
    // but for the folder that kept the take while it was recorded, emptied by Clear
    for (auto folder : {"/.local", "/.local/state", "/.local/state/tapelark"}) written.removeOne(home.path() + folder);
    EXPECT_TRUE(written.isEmpty()) << written.join(", ").toStdString();
}

// Started to record only the emulator, whose install location a Wine
// prefix's registry names, while another program plays as well.
TEST(EndToEnd, RecordOnlyTheEmulatorThatTheRegistryNames) {
    QTemporaryDir dir;
    std::ofstream((dir.path() + "/system.reg").toStdString())
        << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
           "[Software\\\\Connectix\\\\Connectix Virtual Game Station\\\\General] 1733500000\n"
           "\"Location\"=\"C:\\\\Games\\\\VGS\\\\VGS.EXE\"\n";
    qputenv("WINEPREFIX", dir.path().toUtf8());
    const QString emulatorTone = Tone(dir, 440, 1.5, 0.3), otherTone = Tone(dir, 880, 6, 0.3);
    const QString saved = dir.path() + "/emulator take.wav";

    QtProgram app({CaptureInput::Kind::Program, kEmulatorInput});
    app.Window().show();
    ChildProcess listener = Listener("null.monitor");
    ChildProcess other = Player("/usr/bin/mediaplayer", otherTone.toStdString());
    Click(app, Control::btnWaveRec);
    QTest::qWait(500);
    EXPECT_EQ(Player("C:\\Games\\VGS\\vgs.exe", emulatorTone.toStdString()).Wait(), 0);
    QTest::qWait(300);
    Click(app, Control::btnStopWave);
    SaveAs(app, saved);

    EXPECT_GT(Strength(saved, 440), 0.05) << "the emulator is not in the recording";
    EXPECT_LT(Strength(saved, 880), 0.002) << "another program is in the recording";
}

// Records `tone` with mcisend and kills it before it can end the take.
void KillARecording(const QString& tone) {
    QProcess mci;
    mci.start(TAPELARK_MCISEND, {});
    ASSERT_TRUE(mci.waitForStarted());
    mci.write("open new type waveaudio alias capture\n"
              "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400\n"
              "record capture\n");
    for (int replies = 0; replies < 3 && mci.waitForReadyRead(10000);) replies += mci.readAll().count('\n');
    ASSERT_EQ(QProcess::execute("paplay", {tone}), 0);  // returns when the tone has played
    mci.kill();
    mci.waitForFinished();
}

// Starts the program and answers what it asks with `steps`; the boxes' titles.
QStringList StartAndAnswer(std::deque<ModalAnswerer::Step> steps) {
    QStringList titles;
    for (auto& step : steps)
        step = [&titles, step](QWidget* w) { return titles << w->windowTitle(), step(w); };
    QtProgram app;
    app.Window().show();
    ModalAnswerer answerer(std::move(steps));
    OfferUnsavedTakesAtStart(app.Window());
    EXPECT_TRUE(answerer.Finished() && answerer.unexpected.isEmpty()) << answerer.unexpected.join(" | ").toStdString();
    return titles;
}

TEST(UnsavedTakes, AKilledRecordingIsOfferedAtEachStartUntilSavedThroughTheSaveDialog) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("XDG_STATE_HOME", dir.path().toLocal8Bit());
    const QString tone = Tone(dir, 440, 4, 0.5), saved = dir.path() + "/saved take.wav";
    ChildProcess listener = Listener("null.monitor");
    KillARecording(tone);
    const QDir takes(dir.path() + "/tapelark");
    const QStringList files = takes.entryList(QDir::Files);
    ASSERT_EQ(files.size(), 2) << files.join(" ").toStdString();

    using Box = ModalAnswerer;
    QString question, discard;
    QStringList titles = StartAndAnswer({Box::Press(QMessageBox::No, &question), Box::Press(QMessageBox::No, &discard)});
    EXPECT_TRUE(QRegularExpression("^A recording of [0-9]+ s from (today|yesterday) [0-9]{2}:[0-9]{2} was not saved\\. Save it now\\?$")
                    .match(question).hasMatch()) << question.toStdString();
    EXPECT_TRUE(discard.contains("away")) << discard.toStdString();
    EXPECT_EQ(titles, QStringList({"Tapelark", "Tapelark"}));
    EXPECT_EQ(takes.entryList(QDir::Files), files) << "No and No must keep the take";

    StartAndAnswer({Box::Press(QMessageBox::Yes), Box::Choose(saved), Box::Press(QMessageBox::Yes)});
    EXPECT_GT(Strength(saved, 440), 0.1) << "the tone is not in the saved take";
    EXPECT_TRUE(takes.entryList(QDir::Files).isEmpty()) << "a saved take is forgotten";
    StartAndAnswer({});  // nothing is offered any more
}

}  // namespace
}  // namespace tapelark::testing
