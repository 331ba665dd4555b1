// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/Registry.h"
#include "platform/linux/WineRegFile.h"

namespace tapelark {

// HKEY_LOCAL_MACHINE of a Wine prefix, read from the prefix's system.reg.
// Read only; the file is read afresh on every OpenKey, so a value that the
// emulator's installer wrote a moment ago is seen. Key paths and value names
// are matched without regard to case, as Windows does.
class WineRegistry final : public Registry {
public:
    // The prefix in WINEPREFIX, else ~/.wine.
    WineRegistry();
    explicit WineRegistry(std::string prefix);

    long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) override;
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved,
                    std::uint32_t* type, unsigned char* data, std::uint32_t* count) override;
    long CloseKey(RegistryKey key) override;

    const std::string& Prefix() const { return prefix_; }

private:
    struct OpenedKey {
        std::string path;  // below HKEY_LOCAL_MACHINE, as found in the file
        WineRegValues values;
    };

    long Find(const std::string& path, OpenedKey& key) const;

    std::string prefix_;
    std::mutex mutex_;
    std::map<RegistryKey, OpenedKey> opened_;
    RegistryKey nextHandle_ = 0x1000;
};

}  // namespace tapelark
