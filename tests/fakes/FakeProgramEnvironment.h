// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "platform/ProgramEnvironment.h"

namespace tapelark::testing {

// The program's folder and whether it may be written, as a test sets them.
struct FakeProgramEnvironment : ProgramEnvironment {
    std::string ProgramFolder() override { return programFolder; }
    char PathSeparator() override { return '/'; }
    std::uintptr_t InstanceHandle() override { return 0x400000; }
    bool FolderWritable(const std::string& folder) override { return folder == writable; }
    std::string UserSaveFolder() override { return "/home/player/Music"; }

    std::string programFolder = "/opt/tapelark";
    std::string writable = "/opt/tapelark";
};

}  // namespace tapelark::testing
