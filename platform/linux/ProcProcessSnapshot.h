// SPDX-License-Identifier: MIT
#pragma once
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ProcessSnapshot.h"

namespace tapelark {

// The process list from /proc. A process's executable name is the first word
// of its command line as the kernel holds it (argv[0]); for a Windows program
// under Wine that is its Windows path. The names are read when the snapshot
// is taken, so processes that come or go later are not seen.
class ProcProcessSnapshot final : public ProcessSnapshot {
public:
    ProcProcessSnapshot() = default;
    // Another proc file system root, for a container's or a test's view.
    explicit ProcProcessSnapshot(std::string procRoot);

    SnapshotHandle Take(std::uint32_t flags) override;
    bool First(SnapshotHandle snapshot, ProcessEntry& entry) override;
    bool Next(SnapshotHandle snapshot, ProcessEntry& entry) override;
    void Release(SnapshotHandle snapshot) override;

private:
    struct Snapshot {
        std::vector<std::string> names;
        std::size_t next = 0;
    };
    bool Fill(Snapshot& snapshot, ProcessEntry& entry);

    std::string procRoot_ = "/proc";
    std::mutex mutex_;
    std::map<SnapshotHandle, Snapshot> snapshots_;
    SnapshotHandle nextHandle_ = 1;
};

}  // namespace tapelark
