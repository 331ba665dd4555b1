// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "platform/MessageBoxes.h"
#include "platform/ProgramEnvironment.h"
#include "platform/Questions.h"
#include "platform/SaveFileDialog.h"
#include "platform/TakeRecovery.h"

namespace tapelark {

// "2 min 14 s from today 21:03": how long a take is and when it began,
// as the user's clock says it.
std::string TakeLengthAndStart(double seconds, const LocalTime& started, const LocalTime& now);

// At start: asks for each take that a crash left unsaved, newest first,
// whether to save it now. Yes saves it through the Save dialog as Save
// does and forgets it once saved; No asks whether to throw it away, and a
// second No keeps it for the next start. Nothing goes unless the user says so.
void OfferUnsavedTakes(TakeRecovery& takes, Questions& questions, SaveFileDialog& dialog,
                       ProgramEnvironment& environment, MessageBoxes& messages, std::uintptr_t owner);

}  // namespace tapelark
