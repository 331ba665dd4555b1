// SPDX-License-Identifier: MIT
#include "platform/linux/WineRegistry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "common/AsciiText.h"

namespace tapelark {

namespace {

std::string DefaultPrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
        return prefix;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return std::string(home != nullptr ? home : "") + "/.wine";
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) return std::nullopt;
    return std::move(text).str();
}

// Joins a sub-key to the path it is opened under; Windows ignores a
// separator at either end of the sub-key.
std::string Join(const std::string& parent, const char* subKey) {
    std::string child = subKey != nullptr ? subKey : "";
    while (!child.empty() && child.back() == '\\') child.pop_back();
    if (child.empty()) return parent;
    if (parent.empty()) return child;
    return parent + "\\" + child;
}

}  // namespace

WineRegistry::WineRegistry() : prefix_(DefaultPrefix()) {}

WineRegistry::WineRegistry(std::string prefix) : prefix_(std::move(prefix)) {}

long WineRegistry::Find(const std::string& path, OpenedKey& key) const {
    if (path.empty()) return kRegistrySuccess;  // the root itself, with no values of interest
    const auto text = ReadWhole(prefix_ + "/system.reg");
    if (!text) return kErrorFileNotFound;
    // A 64-bit prefix keeps what 32-bit programs (the emulator's installer
    // among them) write below SOFTWARE in the Wow6432Node branch; look there
    // first, as a 32-bit program's view of the registry does.
    const std::string lowered = AsciiLowerCase(path);
    if (IsWin64RegFile(*text) && lowered.starts_with("software\\") &&
        !lowered.starts_with("software\\wow6432node")) {
        const std::string redirected = path.substr(0, 9) + "Wow6432Node\\" + path.substr(9);
        if (auto values = FindWineRegKey(*text, redirected)) {
            key.values = std::move(*values);
            return kRegistrySuccess;
        }
    }
    auto values = FindWineRegKey(*text, path);
    if (!values) return kErrorFileNotFound;
    key.values = std::move(*values);
    return kRegistrySuccess;
}

long WineRegistry::OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) {
    if (result == nullptr) return kErrorInvalidParameter;
    std::lock_guard lock(mutex_);
    std::string parent;
    if (root != kHkeyLocalMachine) {
        auto opened = opened_.find(root);
        if (opened == opened_.end()) return kErrorInvalidHandle;
        parent = opened->second.path;
    }
    OpenedKey key;
    key.path = Join(parent, subKey);
    if (const long status = Find(key.path, key); status != kRegistrySuccess) return status;
    *result = nextHandle_++;
    opened_[*result] = std::move(key);
    return kRegistrySuccess;
}

long WineRegistry::QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved,
                              std::uint32_t* type, unsigned char* data, std::uint32_t* count) {
    if (reserved != nullptr || (data != nullptr && count == nullptr)) return kErrorInvalidParameter;
    std::lock_guard lock(mutex_);
    auto opened = opened_.find(key);
    if (opened == opened_.end()) return kErrorInvalidHandle;
    const auto& values = opened->second.values;
    auto value = values.find(AsciiLowerCase(valueName != nullptr ? valueName : ""));
    if (value == values.end()) return kErrorFileNotFound;

    const auto size = static_cast<std::uint32_t>(value->second.data.size());
    if (type != nullptr) *type = value->second.type;
    if (count == nullptr) return kRegistrySuccess;
    if (data != nullptr && size > *count) {
        *count = size;
        return kErrorMoreData;
    }
    if (data != nullptr) std::memcpy(data, value->second.data.data(), size);
    *count = size;
    return kRegistrySuccess;
}

long WineRegistry::CloseKey(RegistryKey key) {
    if (key == kHkeyLocalMachine) return kRegistrySuccess;
    std::lock_guard lock(mutex_);
    return opened_.erase(key) == 1 ? kRegistrySuccess : kErrorInvalidHandle;
}

}  // namespace tapelark
