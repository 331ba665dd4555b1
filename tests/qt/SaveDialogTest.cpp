// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>

#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtSaveFileDialog.h"
#include "tests/fakes/FakeProgramEnvironment.h"
#include "tests/qt/ModalAnswerer.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

// The save dialog over Qt's widgets, opened from the main window on a fresh folder.
class SaveDialog : public ::testing::Test {
protected:
    std::string Show(ModalAnswerer& answerer) {
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

TEST_F(SaveDialog, OpensModalToTheWindowWithTitleFolderNameAndTheOneFileType) {
    ModalAnswerer answerer({[&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) return false;
        EXPECT_EQ(d->windowTitle(), "Save As");
        EXPECT_EQ(d->directory().absolutePath(), QDir(dir.path()).absolutePath());
        EXPECT_EQ(d->selectedFiles().value(0), In("audio.wav"));
        EXPECT_EQ(d->nameFilters(), QStringList{"Wave Audio (*.wav)"});
        EXPECT_EQ(d->parentWidget(), &owner);
        ModalAnswerer::Queue(d, "reject");
        return true;
    }});
    EXPECT_EQ(Show(answerer), "");
}

TEST_F(SaveDialog, TheNameIsTakenAsTypedAndReplacedOrCreatedOnlyAfterTheUserSaysSo) {
    // Qt's own reading would take "a" "b" as two names and save as one of them.
    const struct {
        QString typed, file;
        bool exists;
    } cases[] = {
        {"say \"hi\" now.wav", "say \"hi\" now.wav", true},
        {"\"a\" \"b\"", "\"a\" \"b\"", true},
        {"\"quoted\".wav", "\"quoted\".wav", false},
        {In("old.wav"), "old.wav", true},
        {In("take"), "take", false},  // no extension added
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        if (c.exists) ASSERT_TRUE(QFile(In(c.file)).open(QIODevice::WriteOnly));
        QString asked;
        ModalAnswerer user({ModalAnswerer::Choose(c.typed), ModalAnswerer::Press(QMessageBox::Yes, &asked)});
        EXPECT_EQ(Show(user), In(c.file).toStdString());
        EXPECT_TRUE(c.exists ? asked.contains(c.file + " already exists")
                             : asked.startsWith(In(c.file) + "\nThis file does not exist"))
            << asked.toStdString();
    }
}

TEST_F(SaveDialog, AfterNoToCreatingItReturnsToTheFolderTyped) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    ModalAnswerer answerer({
        ModalAnswerer::Choose(In("sub/take")),
        ModalAnswerer::Press(QMessageBox::No),
        // Back in the dialog in the folder typed: a bare name goes there.
        [&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            EXPECT_EQ(d->directory().absolutePath(), QDir(In("sub")).absolutePath());
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), "take");
            return ModalAnswerer::Choose("second.wav")(d);
        },
        ModalAnswerer::Press(QMessageBox::Yes),
    });
    EXPECT_EQ(Show(answerer), In("sub/second.wav").toStdString());
}

TEST_F(SaveDialog, APathLongerThanTheBufferIsAFailure) {
    const QString deep = dir.path() + "/" + QString(120, 'd') + "/" + QString(120, 'e');
    ASSERT_TRUE(QDir().mkpath(deep));
    // No question about creating a file that could not be saved anyway.
    ModalAnswerer answerer({ModalAnswerer::Choose(deep + "/x.wav")});
    EXPECT_EQ(Show(answerer), "");
}

}  // namespace
}  // namespace tapelark::testing
