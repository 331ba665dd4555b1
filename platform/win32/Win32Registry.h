// SPDX-License-Identifier: MIT
#pragma once
#include "platform/Registry.h"

namespace tapelark {

// advapi32's RegOpenKeyA (as RegOpenKeyExA in the 32-bit view), RegQueryValueExA
// and RegCloseKey.
class Win32Registry : public Registry {
public:
    long OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) override;
    long QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved,
                    std::uint32_t* type, unsigned char* data, std::uint32_t* count) override;
    long CloseKey(RegistryKey key) override;
};

}  // namespace tapelark
