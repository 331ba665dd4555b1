// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace tapelark {

// Facts about the running program and the user's folders.
class ProgramEnvironment {
public:
    virtual ~ProgramEnvironment() = default;
    // Folder of the program's own executable file, as the platform writes it.
    virtual std::string ProgramFolder() = 0;
    virtual char PathSeparator() = 0;  // '\\' on Windows, '/' elsewhere
    virtual std::uintptr_t InstanceHandle() = 0;
    // Whether the save dialog may offer `folder` for a take: it may be written
    // there, and on Linux it is not the program's own folder.
    virtual bool FolderWritable(const std::string& folder) = 0;
    // Where to save when the program's folder is not offered: the user's
    // music folder, or home.
    virtual std::string UserSaveFolder() = 0;
};

}  // namespace tapelark
