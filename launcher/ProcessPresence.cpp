#include <cstring>
#include <string>

#include "launcher/EmulatorLauncher.h"
#include "launcher/Guarded.h"

namespace tapelark {

namespace {

constexpr std::uint32_t kProcessEntrySize = 296;  // sizeof(PROCESSENTRY32)

// ASCII only: lower-casing the single bytes of a UTF-8 name would break it.
std::string LowerCased(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

bool EmulatorLauncher::IsRunning(const std::string& myName) {
    bool result = false;
    try {
        const std::string target = LowerCased(myName);
        ProcessEntry entry;
        entry.size = kProcessEntrySize;

        const SnapshotHandle snapshot = processes_.Take(kSnapshotProcesses);
        try {
            bool more = processes_.First(snapshot, entry);
            while (more) {
                const char* first = entry.exeFile;
                const void* nul = std::memchr(first, '\0', sizeof entry.exeFile);
                if (nul == nullptr) break;  // not a name: stop with what was found so far
                const std::string name =
                    LowerCased(std::string(first, static_cast<const char*>(nul)));
                const std::string tail =
                    name.size() > target.size() ? name.substr(name.size() - target.size()) : name;
                if (tail == target) result = true;
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
