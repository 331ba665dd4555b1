#include "platform/win32/Win32FileServices.h"

#include <windows.h>

#include "platform/win32/Win32Error.h"

namespace tapelark {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw FileError(what + " " + path + ": " + SystemErrorText(GetLastError()));
}

}  // namespace

std::int64_t Win32FileServices::LengthOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        Fail("Cannot read the length of", path);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        throw FileError("Not a file: " + path);
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void Win32FileServices::Remove(const std::string& path) {
    if (!DeleteFileA(path.c_str())) Fail("Cannot delete", path);
}

void Win32FileServices::CreateEmptyAndClose(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("Cannot create", path);
    CloseHandle(file);
}

void Win32FileServices::Rename(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes it fail.
    if (!MoveFileExA(from.c_str(), to.c_str(), 0)) Fail("Cannot rename " + from + " to", to);
}

void Win32FileServices::Replace(const std::string& from, const std::string& to) {
    // A rename over the old file within its folder: one step, and on disk
    // before the call returns.
    const DWORD old = GetFileAttributesA(to.c_str());
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail("Cannot put " + from + " in the place of", to);
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (old != INVALID_FILE_ATTRIBUTES && (old & kKept))
        SetFileAttributesA(to.c_str(), GetFileAttributesA(to.c_str()) | (old & kKept));
}

bool Win32FileServices::Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tapelark
