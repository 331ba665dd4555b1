// SPDX-License-Identifier: MIT
#pragma once
#include "platform/SaveFileDialog.h"

namespace tapelark {

// comdlg32's GetSaveFileNameA over an OPENFILENAMEA filled from the record.
class Win32SaveFileDialog : public SaveFileDialog {
public:
    int Run(SaveFileRecord& record) override;
};

}  // namespace tapelark
