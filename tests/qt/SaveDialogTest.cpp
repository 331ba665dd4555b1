// SPDX-License-Identifier: MIT
// The dialogs over Qt's widgets, and the folder that the save dialog offers.
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>

#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtProgramEnvironment.h"
#include "platform/qt/QtSaveFileDialog.h"
#include "tests/fakes/FakeProgramEnvironment.h"
#include "tests/qt/ModalAnswerer.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

TEST(MessageBox, StyleZeroHasNoIconStyle48TheWarningAndPathsShowAsTheyAreOnTwoLines) {
    const std::string text = "Saving file failed, file name was: /tmp/<b>a</b>.wav";
    for (const auto& [style, icon] :
         {std::pair{kStyleOk, QMessageBox::NoIcon}, std::pair{kStyleExclamation, QMessageBox::Warning}}) {
        ModalAnswerer answerer({[&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr) return false;
            EXPECT_EQ(box->windowTitle(), "Tapelark");
            EXPECT_EQ(box->text(), QString::fromStdString(text + "\nPermission denied"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), icon);
            return ModalAnswerer::Press(QMessageBox::Ok)(box);
        }});
        QtMessageBoxes().Show(text + "\r\nPermission denied", style, "Tapelark");
        EXPECT_TRUE(answerer.Finished());
    }
}

// The save dialog, opened from the main window on a fresh folder.
class SaveDialog : public ::testing::Test {
protected:
    // Each step answers one dialog; the first checks the save dialog as it opens.
    std::string Show(std::deque<ModalAnswerer::Step> steps) {
        steps.front() = [this, first = steps.front()](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            EXPECT_EQ(d->windowTitle(), "Save As");
            EXPECT_EQ(d->selectedFiles().value(0), In("audio.wav"));  // in the folder asked for
            EXPECT_EQ(d->nameFilters(), QStringList{"Wave Audio (*.wav)"});
            EXPECT_EQ(d->parentWidget(), &owner);
            return first(w);
        };
        ModalAnswerer answerer(std::move(steps));
        auto result = ShowSaveDialog(dialog, environment, owner.OwnerHandle(), "Wave Audio (*.wav)|*.wav",
                                     "Save As", dir.path().toStdString() + "/", "audio.wav");
        EXPECT_TRUE(answerer.Finished());
        EXPECT_TRUE(answerer.unexpected.isEmpty()) << answerer.unexpected.join(" | ").toStdString();
        return result;
    }
    QString In(const QString& name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
    FakeProgramEnvironment environment;
    QtSaveFileDialog dialog;
    QtFormWindow owner;
};

TEST_F(SaveDialog, ACancelOrAPathLongerThanTheBufferIsAFailureAskedNothing) {
    const QString deep = dir.path() + "/" + QString(120, 'd') + "/" + QString(120, 'e');
    ASSERT_TRUE(QDir().mkpath(deep));
    EXPECT_EQ(Show({[](QWidget* d) { return ModalAnswerer::Queue(d, "reject"); }}), "");
    EXPECT_EQ(Show({ModalAnswerer::Choose(deep + "/x.wav")}), "");
}

TEST_F(SaveDialog, TheNameIsTakenAsTypedAndReplacedOrCreatedOnlyAfterTheUserSaysSo) {
    // Qt's own reading would take "a" "b" as two names and save as one of them.
    const struct {
        QString typed, file;
        bool exists;
    } cases[] = {
        {"\"a\" \"b\"", "\"a\" \"b\".wav", true},
        {"\"quoted\".wav", "\"quoted\".wav", false},
        {In("old.wav"), "old.wav", true},
        {In("take"), "take.wav", false},  // the file type's extension added
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        if (c.exists) ASSERT_TRUE(QFile(In(c.file)).open(QIODevice::WriteOnly));
        QString asked;
        EXPECT_EQ(Show({ModalAnswerer::Choose(c.typed), ModalAnswerer::Press(QMessageBox::Yes, &asked)}),
                  In(c.file).toStdString());
        EXPECT_TRUE(c.exists ? asked.contains(c.file + " already exists")
                             : asked.startsWith(In(c.file) + "\nThis file does not exist"))
            << asked.toStdString();
    }
}

TEST_F(SaveDialog, AfterNoToCreatingItReturnsToTheFolderTyped) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    const std::string saved = Show({
        ModalAnswerer::Choose(In("sub/take.wav")),
        ModalAnswerer::Press(QMessageBox::No),
        // Back in the dialog in the folder typed (a bare name goes there), with the name.
        [&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), "take.wav");
            return ModalAnswerer::Choose("second.wav")(d);
        },
        ModalAnswerer::Press(QMessageBox::Yes),
    });
    EXPECT_EQ(saved, In("sub/second.wav").toStdString());
}

// Last of its program: it leaves the environment changed.
TEST(SaveFolder, IsTheUsersMusicFolderWhereverTheProgramIsInstalledElseHome) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    ASSERT_TRUE(QDir().mkpath(home.path() + "/.config"));
    QtProgramEnvironment environment;
    // The program's own folder (the tests' build folder) may be written, and is still not offered.
    ASSERT_EQ(access(QCoreApplication::applicationDirPath().toUtf8(), W_OK), 0);
    // The Music folder that ~/.config/user-dirs.dirs names, once it is there.
    std::ofstream((home.path() + "/.config/user-dirs.dirs").toStdString())
        << "XDG_MUSIC_DIR=\"$HOME/Songs\"\n";
    EXPECT_EQ(SaveDialogFolder(environment), home.path().toStdString() + "/");
    ASSERT_TRUE(QDir(home.path()).mkdir("Songs"));
    EXPECT_EQ(SaveDialogFolder(environment), home.path().toStdString() + "/Songs/");
}

}  // namespace
}  // namespace tapelark::testing
