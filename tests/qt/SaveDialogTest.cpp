// SPDX-License-Identifier: MIT
#include <string>

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QLineEdit>

#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtSaveFileDialog.h"
#include "tests/qt/ModalAnswerer.h"
#include "window/ShowSaveDialog.h"

namespace tapelark::testing {
namespace {

QFileDialog* AsFileDialog(QWidget* w) {
    auto* d = qobject_cast<QFileDialog*>(w);
    EXPECT_TRUE(d) << "expected the file dialog";
    return d;
}

QMessageBox* AsBox(QWidget* w) {
    auto* b = qobject_cast<QMessageBox*>(w);
    EXPECT_TRUE(b) << "expected a question";
    return b;
}

// A program environment whose folder is a fresh temporary one.
struct TempEnvironment : ProgramEnvironment {
    std::string ProgramFolder() override { return folder; }
    char PathSeparator() override { return '/'; }
    std::uintptr_t InstanceHandle() override { return 0; }
    bool FolderWritable(const std::string&) override { return true; }
    std::string UserSaveFolder() override { return folder; }
    std::string folder;
};

class SaveDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        env.folder = dir.path().toStdString() + "/";
    }
    std::string Show(ModalAnswerer& answerer) {
        std::string result = ShowSaveDialog(dialog, env, owner.OwnerHandle(), "Wave Audio (*.wav)|*.wav",
                                            "Save As", env.folder, "audio.wav");
        EXPECT_TRUE(answerer.Finished());
        EXPECT_TRUE(answerer.unexpected.isEmpty()) << answerer.unexpected.join(" | ").toStdString();
        return result;
    }
    // Chooses a name in the dialog and says Yes to the question that follows.
    std::string ChooseAndConfirm(const QString& name, QString* question = nullptr) {
        ModalAnswerer answerer({
            [&](QWidget* w) { if (auto* d = AsFileDialog(w)) ModalAnswerer::Choose(d, name); },
            [&](QWidget* w) {
                if (auto* b = AsBox(w)) {
                    if (question) *question = b->text();
                    ModalAnswerer::Press(b, QMessageBox::Yes);
                }
            },
        });
        return Show(answerer);
    }
    QString In(const QString& name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
    TempEnvironment env;
    QtSaveFileDialog dialog;
    QtFormWindow owner;
};

TEST_F(SaveDialog, OpensModalToTheWindowWithTitleFolderNameAndTheOneFileType) {
    QString title, directory, proposed, suffix;
    QStringList filters;
    QWidget* parent = nullptr;
    ModalAnswerer answerer({[&](QWidget* w) {
        QFileDialog* d = AsFileDialog(w);
        if (!d) return;
        title = d->windowTitle();
        directory = d->directory().absolutePath();
        proposed = d->selectedFiles().value(0);
        filters = d->nameFilters();
        suffix = d->defaultSuffix();
        parent = d->parentWidget();
        ModalAnswerer::Reject(d);
    }});
    EXPECT_EQ(Show(answerer), "");
    EXPECT_EQ(title, "Save As");
    EXPECT_EQ(directory, QDir(dir.path()).absolutePath());
    EXPECT_EQ(proposed, In("audio.wav"));
    EXPECT_EQ(filters, QStringList{"Wave Audio (*.wav)"});
    EXPECT_TRUE(suffix.isEmpty());
    EXPECT_EQ(parent, &owner);
}

TEST_F(SaveDialog, ANewFileIsCreatedOnlyAfterTheUserSaysSo) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    QString directoryAfterNo, nameAfterNo;
    ModalAnswerer answerer({
        [&](QWidget* w) { if (auto* d = AsFileDialog(w)) ModalAnswerer::Choose(d, In("sub/take")); },
        [&](QWidget* w) {
            if (auto* b = AsBox(w)) {
                EXPECT_TRUE(b->text().contains("does not exist")) << b->text().toStdString();
                ModalAnswerer::Press(b, QMessageBox::No);
            }
        },
        // Back in the dialog after "No", in the folder typed: a bare name goes there.
        [&](QWidget* w) {
            auto* d = AsFileDialog(w);
            if (!d) return;
            directoryAfterNo = d->directory().absolutePath();
            nameAfterNo = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            ModalAnswerer::Choose(d, "second.wav");
        },
        [&](QWidget* w) { if (auto* b = AsBox(w)) ModalAnswerer::Press(b, QMessageBox::Yes); },
    });
    EXPECT_EQ(Show(answerer), In("sub/second.wav").toStdString());
    EXPECT_EQ(directoryAfterNo, QDir(In("sub")).absolutePath());
    EXPECT_EQ(nameAfterNo, "take");
}

TEST_F(SaveDialog, ANameWithDoubleQuotesIsOneName) {
    // Qt's own reading would take "a" "b" as two names and save as one of them.
    for (const QString name : {QStringLiteral("say \"hi\" now.wav"), QStringLiteral("\"a\" \"b\"")}) {
        QFile existing(In(name));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.close();
        QString question;
        EXPECT_EQ(ChooseAndConfirm(name, &question), In(name).toStdString());
        EXPECT_TRUE(question.contains(name + " already exists")) << question.toStdString();
    }
    // A new one: asked to be created under exactly that name.
    QString question;
    EXPECT_EQ(ChooseAndConfirm("\"quoted\".wav", &question), In("\"quoted\".wav").toStdString());
    EXPECT_TRUE(question.startsWith(In("\"quoted\".wav"))) << question.toStdString();
}

TEST_F(SaveDialog, ATypedNameWithoutExtensionStaysWithout) {
    EXPECT_EQ(ChooseAndConfirm(In("take")), In("take").toStdString());
}

TEST_F(SaveDialog, AnExistingFileIsReplacedOnlyAfterTheUserSaysSo) {
    QFile existing(In("old.wav"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("RIFF");
    existing.close();
    QString question;
    EXPECT_EQ(ChooseAndConfirm(In("old.wav"), &question), In("old.wav").toStdString());
    EXPECT_TRUE(question.contains("already exists")) << question.toStdString();
}

TEST_F(SaveDialog, APathLongerThanTheBufferIsAFailure) {
    const QString deep = dir.path() + "/" + QString(120, 'd') + "/" + QString(120, 'e');
    ASSERT_TRUE(QDir().mkpath(deep));
    ModalAnswerer answerer({
        // No question about creating a file that could not be saved anyway.
        [&](QWidget* w) { if (auto* d = AsFileDialog(w)) ModalAnswerer::Choose(d, deep + "/x.wav"); },
    });
    EXPECT_EQ(Show(answerer), "");
}

}  // namespace
}  // namespace tapelark::testing
