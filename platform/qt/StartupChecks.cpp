// SPDX-License-Identifier: MIT
#include "platform/qt/StartupChecks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <QtCore/QRegularExpression>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QtGlobal>

namespace tapelark {
namespace {

QtMessageHandler previousHandler = nullptr;
QStringList failedPlatforms;  // the toolkit's platforms that could not start, in the order tried

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Why the window system that `platform` stands for could not be reached.
QString NotReached(const QString& platform) {
    const auto display = [](const char* system, const char* variable) {
        const QString value = qEnvironmentVariable(variable);
        return value.isEmpty() ? QStringLiteral("%1 was asked for but %2 is not set").arg(system, variable)
                               : QStringLiteral("the %1 display %2 does not answer").arg(system, value);
    };
    if (platform == QLatin1String("xcb")) return display("X11", "DISPLAY");
    if (platform.startsWith(QLatin1String("wayland"))) return display("Wayland", "WAYLAND_DISPLAY");
    return QStringLiteral("the window system \"%1\" is not available").arg(platform);
}

void DuringStart(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    static const QRegularExpression plugin(QStringLiteral("the Qt platform plugin \"([^\"]*)\""));
    if (const auto match = plugin.match(message); match.hasMatch()) failedPlatforms << match.captured(1);
    if (type == QtFatalMsg && message.contains(QStringLiteral("platform plugin"))) {
        QStringList reasons;
        for (const QString& platform : failedPlatforms) {
            if (!reasons.contains(NotReached(platform))) reasons << NotReached(platform);
        }
        if (reasons.isEmpty()) std::fprintf(stderr, "%s\n", kNoDisplayLine);
        else
            std::fprintf(stderr, "tapelark: cannot open the window (%s); to record without a window, use mcisend.\n",
                         qPrintable(reasons.join(QStringLiteral("; "))));
        std::_Exit(1);
    }
    const bool platform = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (platform && type != QtDebugMsg) return;  // the fatal line above says it better
    if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

bool DisplayAvailable() {
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

void WatchToolkitStart() { previousHandler = qInstallMessageHandler(DuringStart); }

void EndToolkitStartWatch() { qInstallMessageHandler(previousHandler); }

CommandLine ReadCommandLine(int argc, char** argv) {
    CommandLine line;
    for (int i = 1; i < argc && line.error.empty(); ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--screenshot" && i + 1 < argc) {
            line.screenshot = argv[++i];
        } else if (arg.starts_with("--screenshot=") && arg.size() > 13) {
            line.screenshot = std::string(arg.substr(13));
        } else if (arg == "--screenshot" || arg == "--screenshot=") {
            line.error = "tapelark: --screenshot needs the name of a .png file";
        } else {
            line.error = std::string("tapelark: ") + (arg.starts_with('-') ? "unknown option" : "unexpected argument") +
                         " \"" + std::string(arg) + "\"; see tapelark --help";
        }
    }
    return line;
}

}  // namespace tapelark
