// SPDX-License-Identifier: MIT
#include <cstdio>
#include <cstring>

#include <QtWidgets/QApplication>

#include "common/ApplicationTitle.h"
#include "platform/linux/WineEmulatorProgram.h"
#include "platform/mci/CaptureInput.h"
#include "platform/qt/Pictures.h"
#include "platform/qt/StartupChecks.h"
#include "platform/qt/QtProgram.h"

using namespace tapelark;

namespace {

void PrintUsage() {
    std::printf(
        "usage: tapelark [--record-from=%s] [--screenshot FILE.png]\n"
        "  --record-from   what Record records: the default input (default), what the\n"
        "                  default output plays (output), only the emulator (emulator:\n"
        "                  the program at its registered install location, else any\n"
        "                  VGS.EXE), only\n"
        "                  programs whose executable name ends with TEXT, or a sound\n"
        "                  source by name\n"
        "  --screenshot    saves a picture of the window as it starts, and ends\n",
        RecordFromValues(kEmulatorInput).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        PrintUsage();
        return 0;
    }
    const RecordFromOption recordFrom = TakeRecordFromOption(argc, argv, kEmulatorInput);
    if (recordFrom.given && !recordFrom.input) {
        std::fprintf(stderr, "%s\n", RecordFromUsageError("tapelark", recordFrom.value, kEmulatorInput).c_str());
        return 2;
    }
    const std::optional<std::string> screenshot = ScreenshotArgument(argc, argv);
    if (screenshot && screenshot->empty()) {
        std::fprintf(stderr, "usage: tapelark [--screenshot FILE.png]\n");
        return 2;
    }
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
    return app.exec();
}
