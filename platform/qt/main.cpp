// SPDX-License-Identifier: MIT
#include <cstdio>

#include <QtWidgets/QApplication>

#include "common/ApplicationTitle.h"
#include "platform/linux/WineEmulatorProgram.h"
#include "platform/mci/CaptureInput.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/StartupChecks.h"
#include "platform/qt/QtProgram.h"
#include "platform/qt/QtUnsavedTakesOffer.h"

using namespace tapelark;

namespace {

void PrintUsage() {
    std::printf(
        "usage: tapelark [--record-from=%s]\n"
        "       tapelark --screenshot FILE.png\n"
        "  --record-from   what Record records: the default input (default), what the\n"
        "                  default output plays (output), only the emulator (emulator:\n"
        "                  the program at its registered install location, else any\n"
        "                  VGS.EXE), only programs whose executable name ends with\n"
        "                  TEXT, or a sound source by name\n"
        "  --screenshot    saves a picture of the window as it starts, and ends\n"
        "  -h, --help      shows this and ends\n",
        RecordFromValues(kEmulatorInput).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const RecordFromOption recordFrom = TakeRecordFromOption(argc, argv, kEmulatorInput);
    if (recordFrom.given && !recordFrom.input) {
        std::fprintf(stderr, "%s\n", RecordFromUsageError("tapelark", recordFrom.value, kEmulatorInput).c_str());
        return 2;
    }
    const CommandLine line = ReadCommandLine(argc, argv);
    if (!line.error.empty()) {
        std::fprintf(stderr, "%s\n", line.error.c_str());
        return 2;
    }
    if (line.help) {
        PrintUsage();
        return 0;
    }
    const std::optional<std::string>& screenshot = line.screenshot;
    if (screenshot) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (!DisplayAvailable()) {
        std::fprintf(stderr, "%s\n", kNoDisplayLine);
        return 1;
    }

    WatchToolkitStart();
    QApplication app(argc, argv);
    EndToolkitStartWatch();
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("tapelark"));
    // On Wayland the desktop entry names the icon, and the title bar needs the room.
    if (!QApplication::platformName().startsWith(QLatin1String("wayland")))
        QApplication::setWindowIcon(ProgramIcon());

    QtProgram tapelark(recordFrom.input.value_or(CaptureInput{}));
    QtFormWindow& window = tapelark.Window();
    if (screenshot) {
        // The client area as it is at start: nothing has run yet.
        const QString path = QString::fromStdString(*screenshot);
        if (!window.grab().save(path, "PNG")) {
            std::fprintf(stderr, "tapelark: could not write the picture %s\n", screenshot->c_str());
            return 1;
        }
        return 0;
    }
    window.CentreOnScreen();
    window.show();
    OfferUnsavedTakesAtStart(window);
    return app.exec();
}
