// SPDX-License-Identifier: MIT
#include "platform/linux/ProcProcessSnapshot.h"

#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/linux/ProcessName.h"

namespace tapelark {

namespace {

constexpr SnapshotHandle kInvalidSnapshot = ~SnapshotHandle{0};  // INVALID_HANDLE_VALUE
constexpr std::size_t kLongestName = sizeof(ProcessEntry::exeFile) - 1;

bool IsProcessId(const char* name) {
    if (*name == '\0') return false;
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9') return false;
    }
    return true;
}

}  // namespace

ProcProcessSnapshot::ProcProcessSnapshot(std::string procRoot) : procRoot_(std::move(procRoot)) {}

SnapshotHandle ProcProcessSnapshot::Take(std::uint32_t flags) {
    if ((flags & kSnapshotProcesses) == 0) return kInvalidSnapshot;
    DIR* dir = opendir(procRoot_.c_str());
    if (dir == nullptr) return kInvalidSnapshot;
    Snapshot snapshot;
    std::vector<std::pair<long, std::string>> processes;
    while (const dirent* entry = readdir(dir)) {
        if (!IsProcessId(entry->d_name)) continue;
        auto name = ReadProcessName(procRoot_, entry->d_name);
        if (name) processes.emplace_back(std::atol(entry->d_name), std::move(*name));
    }
    closedir(dir);
    std::sort(processes.begin(), processes.end());
    for (auto& process : processes) snapshot.names.push_back(std::move(process.second));

    std::lock_guard lock(mutex_);
    const SnapshotHandle handle = nextHandle_++;
    snapshots_[handle] = std::move(snapshot);
    return handle;
}

bool ProcProcessSnapshot::Fill(Snapshot& snapshot, ProcessEntry& entry) {
    if (snapshot.next >= snapshot.names.size()) return false;
    const std::string& name = snapshot.names[snapshot.next++];
    const std::size_t length = std::min(name.size(), kLongestName);
    std::memcpy(entry.exeFile, name.data(), length);
    std::memset(entry.exeFile + length, 0, sizeof entry.exeFile - length);
    return true;
}

bool ProcProcessSnapshot::First(SnapshotHandle snapshot, ProcessEntry& entry) {
    std::lock_guard lock(mutex_);
    auto found = snapshots_.find(snapshot);
    if (found == snapshots_.end()) return false;
    found->second.next = 0;
    return Fill(found->second, entry);
}

bool ProcProcessSnapshot::Next(SnapshotHandle snapshot, ProcessEntry& entry) {
    std::lock_guard lock(mutex_);
    auto found = snapshots_.find(snapshot);
    return found != snapshots_.end() && Fill(found->second, entry);
}

void ProcProcessSnapshot::Release(SnapshotHandle snapshot) {
    std::lock_guard lock(mutex_);
    snapshots_.erase(snapshot);
}

}  // namespace tapelark
