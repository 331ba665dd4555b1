// SPDX-License-Identifier: MIT
#pragma once
#include "platform/ProgramEnvironment.h"

namespace tapelark {

class Win32ProgramEnvironment : public ProgramEnvironment {
public:
    std::string ProgramFolder() override;
    char PathSeparator() override;
    std::uintptr_t InstanceHandle() override;
    bool FolderWritable(const std::string& folder) override;
    std::string UserSaveFolder() override;
};

// "C:\a\b.exe" -> "C:\a"; a file at a drive's root keeps the "\" ("C:\").
std::string FolderOfFile(const std::string& path);

}  // namespace tapelark
