// SPDX-License-Identifier: MIT
#include "platform/qt/StartupChecks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QtCore/QString>
#include <QtCore/QtGlobal>

namespace tapelark {
namespace {

QtMessageHandler previousHandler = nullptr;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

void DuringStart(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool platform = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtFatalMsg && message.contains(QStringLiteral("platform plugin"))) {
        std::fprintf(stderr, "%s\n", kNoDisplayLine);
        std::_Exit(1);
    }
    if (platform && type != QtDebugMsg) return;  // the fatal line above says it better
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

bool DisplayAvailable() {
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

void WatchToolkitStart() { previousHandler = qInstallMessageHandler(DuringStart); }

void EndToolkitStartWatch() { qInstallMessageHandler(previousHandler); }

std::optional<std::string> ScreenshotArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0) return i + 1 < argc ? argv[i + 1] : "";
    return std::nullopt;
}

}  // namespace tapelark
