// SPDX-License-Identifier: MIT
#pragma once
// The launcher's three services in memory, each call recorded as one line.
#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ProcessSnapshot.h"
#include "platform/Registry.h"
#include "platform/WindowSystem.h"

namespace tapelark::testing {

// Keys and string values in memory, with the status codes and size contract
// of the real registry: a value that does not fit reports its size and is not copied.
class FakeRegistry final : public Registry {
public:
    std::map<std::string, std::map<std::string, std::string>> keys;  // [sub-key][value name]
    long closeStatus = kRegistrySuccess;
    bool throwOnQuery = false;
    std::vector<std::string> calls;

    long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) override {
        calls.push_back("open " + std::to_string(root) + " " + subKey);
        if (root != kHkeyLocalMachine || !keys.count(subKey)) return kErrorFileNotFound;
        opened_ = subKey;
        *result = 77;
        return kRegistrySuccess;
    }
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t*, std::uint32_t*,
                    unsigned char* data, std::uint32_t* count) override {
        calls.push_back("query " + std::to_string(key) + " " + valueName);
        if (throwOnQuery) throw std::runtime_error("registry gone");
        const auto value = keys[opened_].find(valueName);
        if (value == keys[opened_].end()) return kErrorFileNotFound;
        const auto size = static_cast<std::uint32_t>(value->second.size() + 1);  // with its NUL
        const bool fits = size <= *count;
        *count = size;
        if (!fits) return kErrorMoreData;
        std::memcpy(data, value->second.c_str(), size);
        return kRegistrySuccess;
    }
    long CloseKey(RegistryKey key) override {
        calls.push_back("close " + std::to_string(key));
        return closeStatus;
    }

private:
    std::string opened_;
};

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

// Records every call as one line; the emulator's window answers when told.
class FakeWindowSystem final : public WindowSystem {
public:
    bool windowAnswers = false, throwOnActivate = false;
    std::vector<std::string> calls;

    bool ActivateByTitle(const std::string& title, bool wait) override {
        calls.push_back("activate " + title + (wait ? " wait" : " nowait"));
        if (throwOnActivate) throw std::runtime_error("no display");
        return windowAnswers;
    }
    bool SendKeystrokes(const std::string& keys, bool wait) override {
        calls.push_back("keys " + keys + (wait ? " wait" : " nowait"));
        return true;
    }
    bool Launch(const std::string& commandLine, int windowStyle) override {
        calls.push_back("launch " + commandLine + " style " + std::to_string(windowStyle));
        return !commandLine.empty();
    }
};

}  // namespace tapelark::testing
