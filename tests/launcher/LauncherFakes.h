#pragma once
// Recording fakes of the launcher's platform services, with the contracts
// that the real registry, process list and window system keep.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/MessageBoxService.h"
#include "platform/ProcessSnapshot.h"
#include "platform/Registry.h"
#include "platform/WindowSystem.h"

namespace tapelark::testing {

inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorMoreData = 234;

struct FakeValue {
    std::uint32_t type = 1;
    std::string bytes;  // as stored, a string's terminating NUL included
};

inline FakeValue StringValue(const std::string& text) { return {1, text + std::string(1, '\0')}; }

class FakeRegistry final : public Registry {
public:
    // keys[sub-key][value name]
    std::map<std::string, std::map<std::string, FakeValue>> keys;
    long closeStatus = kRegistrySuccess;
    bool throwOnQuery = false;
    std::vector<std::string> calls;
    std::uint32_t typeAsked = 0;
    std::uint32_t countAsked = 0;
    bool reservedWasNull = false;

    long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) override {
        calls.push_back("open " + std::to_string(root) + " " + subKey);
        auto key = keys.find(subKey);
        if (root != kHkeyLocalMachine || key == keys.end()) return kErrorFileNotFound;
        opened_ = key->first;
        *result = 77;
        return kRegistrySuccess;
    }
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved,
                    std::uint32_t* type, unsigned char* data, std::uint32_t* count) override {
        calls.push_back("query " + std::to_string(key) + " " + valueName);
        if (throwOnQuery) throw std::runtime_error("registry gone");
        typeAsked = *type;
        countAsked = *count;
        reservedWasNull = reserved == nullptr;
        const auto& values = keys[opened_];
        auto value = values.find(valueName);
        if (value == values.end()) return kErrorFileNotFound;
        const auto size = static_cast<std::uint32_t>(value->second.bytes.size());
        if (size > *count) {
            *count = size;
            return kErrorMoreData;
        }
        std::memcpy(data, value->second.bytes.data(), size);
        *count = size;
        *type = value->second.type;
        return kRegistrySuccess;
    }
    long CloseKey(RegistryKey key) override {
        calls.push_back("close " + std::to_string(key));
        return closeStatus;
    }

private:
    std::string opened_;
};

class FakeProcessSnapshot final : public ProcessSnapshot {
public:
    std::vector<std::string> names;  // each one is copied into exeFile, cut to 260 bytes
    bool snapshotFails = false;
    bool throwOnNext = false;
    std::vector<std::string> calls;
    std::uint32_t sizeAsked = 0;

    SnapshotHandle Take(std::uint32_t flags) override {
        calls.push_back("take " + std::to_string(flags));
        return snapshotFails ? ~SnapshotHandle{0} : 5;
    }
    bool First(SnapshotHandle snapshot, ProcessEntry& entry) override {
        calls.push_back("first");
        sizeAsked = entry.size;
        next_ = 0;
        return Fill(snapshot, entry);
    }
    bool Next(SnapshotHandle snapshot, ProcessEntry& entry) override {
        calls.push_back("next");
        if (throwOnNext) throw std::runtime_error("snapshot gone");
        return Fill(snapshot, entry);
    }
    void Release(SnapshotHandle snapshot) override { calls.push_back("release " + std::to_string(snapshot)); }

    // A name of 260 characters leaves no room for the NUL.
    static std::string Unterminated() { return std::string(260, 'x'); }

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

class FakeWindowSystem final : public WindowSystem {
public:
    bool windowAnswers = false;
    bool throwOnActivate = false;
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

class FakeMessageBox final : public MessageBoxService {
public:
    std::vector<std::string> shown;  // "style|caption|text"
    void Show(const std::string& text, int style, const std::string& caption) override {
        shown.push_back(std::to_string(style) + "|" + caption + "|" + text);
    }
};

}  // namespace tapelark::testing
