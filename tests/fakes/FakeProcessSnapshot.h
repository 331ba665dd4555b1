// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ProcessSnapshot.h"

namespace tapelark::testing {

// A process list of chosen executable names, each copied into exeFile and cut
// to its 260 bytes (a name that fills them has no NUL).
class FakeProcessSnapshot final : public ProcessSnapshot {
public:
    std::vector<std::string> names;
    bool snapshotFails = false, throwOnNext = false;
    std::vector<std::string> calls;  // takes and releases

    SnapshotHandle Take(std::uint32_t flags) override {
        calls.push_back("take " + std::to_string(flags));
        return snapshotFails ? ~SnapshotHandle{0} : 5;
    }
    bool First(SnapshotHandle snapshot, ProcessEntry& entry) override {
        next_ = 0;
        return Fill(snapshot, entry);
    }
    bool Next(SnapshotHandle snapshot, ProcessEntry& entry) override {
        if (throwOnNext) throw std::runtime_error("snapshot gone");
        return Fill(snapshot, entry);
    }
    void Release(SnapshotHandle snapshot) override { calls.push_back("release " + std::to_string(snapshot)); }

private:
    bool Fill(SnapshotHandle snapshot, ProcessEntry& entry) {
        if (snapshot != 5 || next_ >= names.size()) return false;
        const std::string& name = names[next_++];
        std::memset(entry.exeFile, 0, sizeof entry.exeFile);
        std::memcpy(entry.exeFile, name.data(), std::min(name.size(), sizeof entry.exeFile));
        return true;
    }
    std::size_t next_ = 0;
};

}  // namespace tapelark::testing
