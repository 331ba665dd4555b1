// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "platform/ProgramEnvironment.h"
#include "platform/SaveFileDialog.h"

namespace tapelark {

inline constexpr std::uint32_t kSaveFileRecordSize = 76;  // OPENFILENAMEA up to lpTemplateName
inline constexpr std::size_t kFileBufferLength = 254;

// The save-file dialog: `filter` holds description|pattern pairs. Returns the
// full path the user chose, or "" when cancelled or when the dialog failed.
// Shows no message of its own.
std::string ShowSaveDialog(SaveFileDialog& dialog, ProgramEnvironment& environment,
                           std::uintptr_t owner, const std::string& filter,
                           const std::string& title, const std::string& initialFolder,
                           const std::string& proposedName);

// "a|b" -> "a\0b\0": the pairs as the platform's record wants them.
std::string NulSeparatedFilter(std::string filter);

// The folder the save dialog opens in: the program's own, or the user's
// save folder when the program's may not be written; ends with a separator.
std::string SaveDialogFolder(ProgramEnvironment& environment);

}  // namespace tapelark
