// SPDX-License-Identifier: MIT
#include "platform/win32/Win32FileSaving.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/FilesHeldBySound.h"
#include "platform/win32/Win32Error.h"

namespace tapelark {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw FileError(what + " " + path + ": " + SystemErrorText(GetLastError()));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A free name in the file's own folder, so that putting the new file in the
// old one's place is a rename within one folder. Short, so that a long name
// the user chose still leaves room for it. One left by an earlier save is
// removed and used again once winmm no longer holds it.
std::string NameBeside(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\:");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (int n = 1; n <= 100; ++n) {
        const std::string candidate = folder + ".tapelark-save-" + std::to_string(n) + ".wav";
        if (!Exists(candidate) || DeleteFileA(candidate.c_str())) return candidate;
    }
    throw FileError("There is no free name beside the existing file to save the new one under.");
}

// Puts the finished file `from` in the place of `to` in one step, keeping
// the old file's hidden and system marks.
void Replace(const std::string& from, const std::string& to) {
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
    // The marks are the old file's: the new one may come hidden from the
    // hiding above, by a rename of winmm's own or in a copy.
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD now = GetFileAttributesA(to.c_str());
    const DWORD wanted = (now & ~kKept) | (old == INVALID_FILE_ATTRIBUTES ? 0 : old & kKept);
    if (now != INVALID_FILE_ATTRIBUTES && wanted != now)
        SetFileAttributesA(to.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

std::uint32_t Win32FileSaving::SaveAs(const std::string& path, const Save& save) {
    // winmm's own save refuses a read-only file; a move over it would not everywhere.
    const DWORD old = GetFileAttributesA(path.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY)) return MCIERR_FILE_NOT_SAVED;
    const std::string target = NameBeside(path);
    // What a failed save leaves beside the user's file goes, or goes once winmm lets go of it.
    const auto drop = [&target] {
        if (Exists(target) && !DeleteFileA(target.c_str())) RemoveWhenReleased(target);
    };
    try {
        if (const std::uint32_t code = save(target)) {
            drop();
            return code;
        }
        Replace(target, path);
    } catch (...) {
        drop();
        throw;
    }
    return 0;
}

}  // namespace tapelark
