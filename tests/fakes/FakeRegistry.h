// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tapelark::testing {

// Keys and values in memory, with the status codes and size contract of the
// real registry: a value that does not fit reports its size and is not copied.
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

    long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) override {
        calls.push_back("open " + std::to_string(root) + " " + subKey);
        auto key = keys.find(subKey);
        if (root != kHkeyLocalMachine || key == keys.end()) return kErrorFileNotFound;
        opened_ = key->first;
        *result = 77;
        return kRegistrySuccess;
    }
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t*, std::uint32_t* type,
                    unsigned char* data, std::uint32_t* count) override {
        calls.push_back("query " + std::to_string(key) + " " + valueName);
        if (throwOnQuery) throw std::runtime_error("registry gone");
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

}  // namespace tapelark::testing
