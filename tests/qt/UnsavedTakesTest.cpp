// SPDX-License-Identifier: MIT
// A take that a killed mcisend left behind, offered back by the window at its
// next starts: No and No keep it, Yes saves it through the Save dialog.
#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include "platform/qt/QtProgram.h"
#include "platform/qt/QtUnsavedTakesOffer.h"
#include "tests/mci/SoundPlayers.h"
#include "tests/mci/Take.h"
#include "tests/qt/ModalAnswerer.h"

namespace tapelark::testing {
namespace {

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
    const QString tone = dir.path() + "/tone.wav", saved = dir.path() + "/saved take.wav";
    ASSERT_TRUE(MakeTone(tone.toStdString(), 440, 4, 0.5));
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
    const Take take(saved.toStdString());
    EXPECT_GT(take.Seconds(), 1.0);
    EXPECT_GT(take.Strength(440, 0, take.Seconds()), 0.1) << "the tone is not in the saved take";
    EXPECT_TRUE(takes.entryList(QDir::Files).isEmpty()) << "a saved take is forgotten";
    StartAndAnswer({});  // nothing is offered any more
}

}  // namespace
}  // namespace tapelark::testing
