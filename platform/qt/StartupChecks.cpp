// SPDX-License-Identifier: MIT
#include "platform/qt/StartupChecks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtCore/QRegularExpression>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QtGlobal>

namespace tapelark {
namespace {

QtMessageHandler previousHandler = nullptr;
QStringList failedPlatforms;  // the toolkit's platforms that could not start, in the order tried
// What the toolkit said while it started: shown once it has started, and
// left out when it could not (the one line then says it better).
struct Held {
    QtMsgType type;
    QByteArray category;
    QString message;
};
QList<Held> held;

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Why the window system that `platform` stands for could not be reached.
QString NotReached(const QString& platform) {
    const auto display = [](const char* system, const char* variable) {
        const QString value = qEnvironmentVariable(variable);
        return value.isEmpty() ? QStringLiteral("no %1 display: %2 is not set").arg(system, variable)
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
        if (reasons.isEmpty()) {
            std::fprintf(stderr, "%s\n", kNoDisplayLine);
        } else {
            std::fprintf(stderr, "tapelark: cannot open the window (%s); %s\n",
                         qPrintable(reasons.join(QStringLiteral("; "))),
                         "to record without a window, use mcisend.");
        }
        std::_Exit(1);
    }
    held.append({type, QByteArray(context.category ? context.category : "default"), message});
}

}  // namespace

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

void WatchToolkitStart() { previousHandler = qInstallMessageHandler(DuringStart); }

void EndToolkitStartWatch() {
    qInstallMessageHandler(previousHandler);
    for (const Held& message : std::exchange(held, {})) {
        // The platforms tried before the one that started are of no interest.
        if (message.category.startsWith("qt.qpa") && message.type != QtDebugMsg) continue;
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        if (previousHandler)
            previousHandler(message.type, context, message.message);
        else
            qt_message_output(message.type, context, message.message);
    }
}

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
            const char* what = arg.starts_with('-') ? "unknown option" : "unexpected argument";
            line.error =
                "tapelark: " + std::string(what) + " \"" + std::string(arg) + "\"; see tapelark --help";
        }
    }
    return line;
}

}  // namespace tapelark
