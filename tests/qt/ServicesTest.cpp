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
    const struct {
        std::string text;
        int style;
        QMessageBox::Icon icon;
        QString shown;
    } cases[] = {
        {"Saving file failed, file name was: /tmp/<b>a</b>.wav\r\nPermission denied", kStyleOk,
         QMessageBox::NoIcon, "Saving file failed, file name was: /tmp/<b>a</b>.wav\nPermission denied"},
        {"RegCloseKey Failed: x", kStyleExclamation, QMessageBox::Warning, "RegCloseKey Failed: x"},
    };
    for (const auto& c : cases) {
        ModalAnswerer answerer({[&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr) return false;
            EXPECT_EQ(box->windowTitle(), "Tapelark");
            EXPECT_EQ(box->text(), c.shown);
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->icon(), c.icon);
            return ModalAnswerer::Press(QMessageBox::Ok)(box);
        }});
        QtMessageBoxes().Show(c.text, c.style, "Tapelark");
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

TEST(ProgramEnvironment, TheUsersFolderIsMusicWhenItExistsElseHome) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    QtProgramEnvironment env;
    EXPECT_EQ(env.UserSaveFolder(), home.path().toStdString());
    ASSERT_TRUE(QDir(home.path()).mkdir("Music"));
    EXPECT_EQ(env.UserSaveFolder(), (home.path() + "/Music").toStdString());
    qputenv("HOME", oldHome);
    if (oldConfig.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", oldConfig);
}

}  // namespace
}  // namespace tapelark::testing
