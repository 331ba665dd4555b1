// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark {

inline constexpr std::uint32_t kSnapshotProcesses = 2;  // TH32CS_SNAPPROCESS

// The two members of PROCESSENTRY32 that the process check reads.
struct ProcessEntry {
    std::uint32_t size = 0;
    char exeFile[260] = {};
};

using SnapshotHandle = std::uintptr_t;

// A snapshot of the process list with the contracts of kernel32's
// CreateToolhelp32Snapshot, Process32First, Process32Next and CloseHandle.
// First and Next return false when there is no (further) entry or the
// snapshot failed.
class ProcessSnapshot {
public:
    virtual ~ProcessSnapshot() = default;
    virtual SnapshotHandle Take(std::uint32_t flags) = 0;
    virtual bool First(SnapshotHandle snapshot, ProcessEntry& entry) = 0;
    virtual bool Next(SnapshotHandle snapshot, ProcessEntry& entry) = 0;
    virtual void Release(SnapshotHandle snapshot) = 0;
};

}  // namespace tapelark
