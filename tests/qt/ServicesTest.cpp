// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtProgramEnvironment.h"
#include "tests/qt/ModalAnswerer.h"

namespace tapelark::testing {
namespace {

TEST(MessageBox, StyleZeroHasNoIconStyle48TheWarningAndPathsShowAsTheyAreOnTwoLines) {
    const std::string text = "Saving file failed, file name was: /tmp/<b>a</b>.wav";
    for (const auto& [style, icon] : {std::pair{kStyleOk, QMessageBox::NoIcon},
                                      std::pair{kStyleExclamation, QMessageBox::Warning}}) {
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

TEST(ProgramEnvironment, TheProgramFolderIsTheExecutablesAndWritableFoldersTakeASave) {
    QtProgramEnvironment env;
    EXPECT_EQ(env.ProgramFolder(), QCoreApplication::applicationDirPath().toStdString());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(env.FolderWritable(dir.path().toStdString()));
    EXPECT_FALSE(env.FolderWritable(dir.path().toStdString() + "/missing"));
    EXPECT_FALSE(env.FolderWritable(""));
    if (geteuid() == 0) return;  // root may write into any folder
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(env.FolderWritable(dir.path().toStdString()));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Last of its program: it leaves the environment changed.
TEST(ProgramEnvironment, TheUsersFolderIsMusicWhenItExistsElseHome) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    QtProgramEnvironment env;
    EXPECT_EQ(env.UserSaveFolder(), home.path().toStdString());
    ASSERT_TRUE(QDir(home.path()).mkdir("Music"));
    EXPECT_EQ(env.UserSaveFolder(), (home.path() + "/Music").toStdString());
}

}  // namespace
}  // namespace tapelark::testing
