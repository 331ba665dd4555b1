// SPDX-License-Identifier: MIT
#include "platform/win32/Win32ProgramEnvironment.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace tapelark {

std::string FolderOfFile(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    if (slash == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, slash);
}

std::string Win32ProgramEnvironment::ProgramFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return FolderOfFile(std::string(path.data(), length));
        path.resize(path.size() * 2);
    }
}

char Win32ProgramEnvironment::PathSeparator() { return '\\'; }

std::uintptr_t Win32ProgramEnvironment::InstanceHandle() {
    return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

bool Win32ProgramEnvironment::FolderWritable(const std::string& folder) {
    // Only trying tells: access lists, read-only media and virtualised
    // Program Files folders all answer differently to attribute queries.
    char probe[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "tlk", 0, probe)) return false;
    DeleteFileA(probe);
    return true;
}

std::string Win32ProgramEnvironment::UserSaveFolder() {
    char folder[MAX_PATH];
    for (const int which : {CSIDL_MYMUSIC, CSIDL_PROFILE})
        if (SHGetFolderPathA(nullptr, which, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK)
            return folder;
    return ProgramFolder();
}

}  // namespace tapelark
