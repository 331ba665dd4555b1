// SPDX-License-Identifier: MIT
#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include "platform/win32/FilesHeldBySound.h"
#include "platform/win32/Win32Error.h"

namespace tapelark {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw FileError(what + " " + path + ": " + SystemErrorText(GetLastError()));
}

}  // namespace

void Win32FileSystem::Remove(const std::string& path) {
    if (!DeleteFileA(path.c_str())) Fail("Cannot delete", path);
}

void Win32FileSystem::Replace(const std::string& from, const std::string& to) {
    constexpr DWORD kMove = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const DWORD old = GetFileAttributesA(to.c_str());
    // A rename over the old file within its folder: one step, on disk before
    // the call returns.
    if (!MoveFileExA(from.c_str(), to.c_str(), kMove)) {
        if (GetLastError() != ERROR_SHARING_VIOLATION) Fail("Cannot put " + from + " in the place of", to);
        // winmm keeps a file it saved open, without leave to rename it, until
        // the device closes: a copy of it takes the old file's place instead.
        const std::string copy = from + ".copy";
        if (!CopyFileA(from.c_str(), copy.c_str(), FALSE)) Fail("Cannot copy " + from + " to", copy);
        // Out of sight until the device lets go of it.
        SetFileAttributesA(from.c_str(), FILE_ATTRIBUTE_HIDDEN);
        HANDLE file = CreateFileA(copy.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!flushed || !MoveFileExA(copy.c_str(), to.c_str(), kMove)) {
            const DWORD error = GetLastError();
            DeleteFileA(copy.c_str());
            SetLastError(error);
            Fail("Cannot put " + copy + " in the place of", to);
        }
        if (!DeleteFileA(from.c_str())) RemoveWhenReleased(from);
    }
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (old != INVALID_FILE_ATTRIBUTES && (old & kKept))
        SetFileAttributesA(to.c_str(), GetFileAttributesA(to.c_str()) | (old & kKept));
}

bool Win32FileSystem::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tapelark
