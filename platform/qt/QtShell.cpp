// SPDX-License-Identifier: MIT
#include "platform/qt/QtShell.h"

#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>

namespace tapelark {

namespace {
// ShellExecute's numbers: above 32 is success, 2 is "file not found".
inline constexpr std::intptr_t kOpened = 33;
inline constexpr std::intptr_t kNotFound = 2;
}  // namespace

std::intptr_t QtShell::Execute(std::uintptr_t, const char*, const char* file, const char*,
                                      const char*, int) {
    if (!file || !*file) return kNotFound;
    const QUrl url = QUrl::fromUserInput(QString::fromUtf8(file));
    return url.isValid() && QDesktopServices::openUrl(url) ? kOpened : kNotFound;
}

}  // namespace tapelark
