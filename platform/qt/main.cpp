#include <cstdio>

#include <QtWidgets/QApplication>

#include "platform/qt/Pictures.h"
#include "platform/qt/StartupChecks.h"
#include "platform/qt/TapelarkApplication.h"

using namespace tapelark;

int main(int argc, char** argv) {
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
    QApplication::setApplicationName(QStringLiteral("Tapelark"));
    QApplication::setDesktopFileName(QStringLiteral("tapelark"));
    QApplication::setWindowIcon(ProgramIcon());

    TapelarkApplication tapelark;
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
