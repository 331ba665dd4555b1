// SPDX-License-Identifier: MIT
#include "launcher/ProcessPresence.h"

#include <cstdint>
#include <cstring>

#include "common/AsciiText.h"
#include "common/Guarded.h"

namespace tapelark {

namespace {
constexpr std::uint32_t kProcessEntrySize = 296;  // sizeof(PROCESSENTRY32)
}  // namespace

ProcessPresence::ProcessPresence(ProcessSnapshot& processes) : processes_(processes) {}

bool ProcessPresence::IsRunning(const std::string& myName) {
    bool result = false;
    try {
        ProcessEntry entry;
        entry.size = kProcessEntrySize;

        const SnapshotHandle snapshot = processes_.Take(kSnapshotProcesses);
        try {
            bool more = processes_.First(snapshot, entry);
            while (more) {
                const char* first = entry.exeFile;
                const void* nul = std::memchr(first, '\0', sizeof entry.exeFile);
                if (nul == nullptr) break;  // not a name: stop with what was found so far
                const std::string_view name(first,
                                            static_cast<std::size_t>(static_cast<const char*>(nul) - first));
                if (EndsWithIgnoringAsciiCase(name, myName)) result = true;
                // Every entry is looked at, even after a match.
                more = processes_.Next(snapshot, entry);
            }
        } catch (...) {
        }
        Guarded([&] { processes_.Release(snapshot); });
    } catch (...) {
    }
    return result;
}

}  // namespace tapelark
