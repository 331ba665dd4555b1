// SPDX-License-Identifier: MIT
#include "platform/qt/QtUnsavedTakesOffer.h"

#include "platform/mci/MciTakeRecovery.h"
#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtProgramEnvironment.h"
#include "platform/qt/QtQuestions.h"
#include "platform/qt/QtSaveFileDialog.h"
#include "window/OfferUnsavedTakes.h"

namespace tapelark {

void OfferUnsavedTakesAtStart(QtFormWindow& window) {
    MciTakeRecovery takes;
    QtQuestions questions;
    QtSaveFileDialog dialog;
    QtProgramEnvironment environment;
    QtMessageBoxes messages;
    OfferUnsavedTakes(takes, questions, dialog, environment, messages, window.OwnerHandle());
}

}  // namespace tapelark
