// SPDX-License-Identifier: MIT
#include "platform/qt/QtProgramEnvironment.h"

#include <unistd.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QStandardPaths>

namespace tapelark {

std::string QtProgramEnvironment::ProgramFolder() {
    return QCoreApplication::applicationDirPath().toStdString();
}

bool QtProgramEnvironment::FolderWritable(const std::string& folder) {
    // A folder of programs (~/.local/bin, /usr/bin, a build folder) is never
    // where a take belongs here, even when it may be written: the dialog then
    // offers the user's own folder wherever the program is installed.
    if (folder == ProgramFolder()) return false;
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

// The Music folder that ~/.config/user-dirs.dirs names, else ~/Music; home
// when that folder is not there.
std::string QtProgramEnvironment::UserSaveFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QDir(music).exists()) return music.toStdString();
    return QDir::homePath().toStdString();
}

}  // namespace tapelark
