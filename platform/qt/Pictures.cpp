// SPDX-License-Identifier: MIT
#include "platform/qt/Pictures.h"

namespace tapelark {

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/tapelark/tapelark.png")); }

QPixmap PictureOf(Picture picture) {
    switch (picture) {
        case Picture::SaveWave: return QPixmap(QStringLiteral(":/tapelark/save.png"));
        case Picture::Logo: return QPixmap(QStringLiteral(":/tapelark/logo.png"));
        case Picture::None: break;
    }
    return {};
}

}  // namespace tapelark
