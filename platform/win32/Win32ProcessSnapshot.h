// SPDX-License-Identifier: MIT
#pragma once
#include "platform/ProcessSnapshot.h"

namespace tapelark {

// The toolhelp process list, through the ANSI PROCESSENTRY32 record.
class Win32ProcessSnapshot : public ProcessSnapshot {
public:
    SnapshotHandle Take(std::uint32_t flags) override;
    bool First(SnapshotHandle snapshot, ProcessEntry& entry) override;
    bool Next(SnapshotHandle snapshot, ProcessEntry& entry) override;
    void Release(SnapshotHandle snapshot) override;
};

}  // namespace tapelark
