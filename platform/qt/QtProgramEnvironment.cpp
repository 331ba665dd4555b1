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
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string QtProgramEnvironment::UserSaveFolder() {
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty() && QDir(music).exists()) return music.toStdString();
    return QDir::homePath().toStdString();
}

}  // namespace tapelark
