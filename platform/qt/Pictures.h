// SPDX-License-Identifier: MIT
#pragma once
#include <QtGui/QIcon>
#include <QtGui/QPixmap>

#include "window/FormLayout.h"

namespace tapelark {

// Our built-in artwork.
QIcon ProgramIcon();
QPixmap PictureOf(Picture picture);

}  // namespace tapelark
