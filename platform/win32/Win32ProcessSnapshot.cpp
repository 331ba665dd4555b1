// SPDX-License-Identifier: MIT
#include "platform/win32/Win32ProcessSnapshot.h"

#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

#include <cstring>

#undef Process32First
#undef Process32Next
#undef PROCESSENTRY32

namespace tapelark {
namespace {

static_assert(sizeof(ProcessEntry::exeFile) == sizeof(PROCESSENTRY32::szExeFile));
static_assert(sizeof(void*) != 4 || sizeof(PROCESSENTRY32) == 296);

using Step = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);

// The caller's size field stands for the 32-bit record (296 bytes, this
// build's own); the call gets the platform's record size, so a 64-bit build
// is right too.
bool Request(Step step, SnapshotHandle snapshot, ProcessEntry& entry) {
    PROCESSENTRY32 record{};
    record.dwSize = sizeof(PROCESSENTRY32);
    if (!step(reinterpret_cast<HANDLE>(snapshot), &record)) return false;
    std::memcpy(entry.exeFile, record.szExeFile, sizeof(entry.exeFile));
    return true;
}

}  // namespace

SnapshotHandle Win32ProcessSnapshot::Take(std::uint32_t flags) {
    return reinterpret_cast<SnapshotHandle>(CreateToolhelp32Snapshot(flags, 0));
}

bool Win32ProcessSnapshot::First(SnapshotHandle snapshot, ProcessEntry& entry) {
    return Request(Process32First, snapshot, entry);
}

bool Win32ProcessSnapshot::Next(SnapshotHandle snapshot, ProcessEntry& entry) {
    return Request(Process32Next, snapshot, entry);
}

void Win32ProcessSnapshot::Release(SnapshotHandle snapshot) {
    const HANDLE handle = reinterpret_cast<HANDLE>(snapshot);
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr) CloseHandle(handle);
}

}  // namespace tapelark
