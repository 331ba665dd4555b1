// SPDX-License-Identifier: MIT
#pragma once
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Registry.h"

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
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t*, std::uint32_t* type,
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
        *type = 1;  // REG_SZ
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
