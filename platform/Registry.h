// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark {

using RegistryKey = std::uintptr_t;
inline constexpr RegistryKey kHkeyLocalMachine = 0x80000002u;

// Statuses, as winerror.h numbers them.
inline constexpr long kRegistrySuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;

// Value types, as winnt.h numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Read-only registry access with the contracts of advapi32's RegOpenKeyA,
// RegQueryValueExA and RegCloseKey: each returns a status, 0 for success.
class Registry {
public:
    virtual ~Registry() = default;
    virtual long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) = 0;
    // On success `data` holds the value's bytes and `count` their number; when
    // the data is larger than `count` bytes the status is ERROR_MORE_DATA (234).
    virtual long QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved,
                            std::uint32_t* type, unsigned char* data, std::uint32_t* count) = 0;
    virtual long CloseKey(RegistryKey key) = 0;
};

}  // namespace tapelark
