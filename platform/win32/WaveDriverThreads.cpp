// SPDX-License-Identifier: MIT
#include "platform/win32/WaveDriverThreads.h"

#include <windows.h>
// windows.h first: tlhelp32.h needs its types.
#include <tlhelp32.h>

namespace tapelark {
namespace {

constexpr int kThreadQuerySetWin32StartAddress = 9;
using QueryThread = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);

HMODULE Ntdll() { return GetModuleHandleA("ntdll.dll"); }

bool StartsIn(HMODULE module, HANDLE thread, QueryThread query) {
    void* start = nullptr;
    if (query(thread, kThreadQuerySetWin32StartAddress, &start, sizeof(start), nullptr) != 0) return false;
    HMODULE owner = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(start), &owner) &&
           owner == module;
}

}  // namespace

bool RunningUnderWine() {
    const HMODULE ntdll = Ntdll();
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

void AwaitWaveDriverThreads(unsigned timeoutMs) {
    const HMODULE driver = GetModuleHandleA("mciwave.dll");
    const auto query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(Ntdll(), "NtQueryInformationThread")));
    if (!driver || !query) return;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    const DWORD deadline = GetTickCount() + timeoutMs;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId())
            continue;
        const HANDLE thread = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        if (StartsIn(driver, thread, query)) {
            const LONG left = static_cast<LONG>(deadline - GetTickCount());
            WaitForSingleObject(thread, left > 0 ? static_cast<DWORD>(left) : 0);
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
}

}  // namespace tapelark
