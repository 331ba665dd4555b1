// SPDX-License-Identifier: MIT
#pragma once
#include "platform/ProgramEnvironment.h"

namespace tapelark {

class QtProgramEnvironment final : public ProgramEnvironment {
public:
    std::string ProgramFolder() override;
    char PathSeparator() override { return '/'; }
    std::uintptr_t InstanceHandle() override { return 0; }  // Linux has none
    bool FolderWritable(const std::string& folder) override;
    std::string UserSaveFolder() override;
};

}  // namespace tapelark
