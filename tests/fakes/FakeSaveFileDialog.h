// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "platform/SaveFileDialog.h"

namespace tapelark::testing {

// Answers as the user would: the path typed, or a cancel.
struct FakeSaveFileDialog : SaveFileDialog {
    int Run(SaveFileRecord& record) override {
        asked.push_back(record);
        if (cancel) return 0;
        if (answer.size() + 1 > record.maxFile) return 0;  // does not fit the buffer
        record.file.replace(0, answer.size() + 1, answer.c_str(), answer.size() + 1);
        return 1;
    }
    std::vector<SaveFileRecord> asked;
    bool cancel = false;
    std::string answer;
};

}  // namespace tapelark::testing
