// SPDX-License-Identifier: MIT
#pragma once
#include "platform/SaveFileDialog.h"

namespace tapelark {

// The save-file dialog in Qt: modal to the owner window, the record's
// filter pairs, title, folder and proposed name; asks before replacing a
// file and before creating one when the flags say so; adds no extension.
class QtSaveFileDialog final : public SaveFileDialog {
public:
    int Run(SaveFileRecord& record) override;
};

}  // namespace tapelark
