// SPDX-License-Identifier: MIT
#include "platform/win32/Win32Registry.h"

#include <windows.h>

namespace tapelark {
namespace {

// The predefined roots are 32-bit numbers (HKEY_LOCAL_MACHINE is 0x80000002)
// that a 64-bit HKEY holds sign-extended; opened keys are real handles.
HKEY AsHkey(RegistryKey key) {
    if (key >= 0x80000000u && key <= 0x800000FFu)
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

long Win32Registry::OpenKey(RegistryKey root, const char* subKey, RegistryKey* result) {
    HKEY opened = nullptr;
    // RegOpenKeyA's own access, in the 32-bit view: the emulator is a 32-bit
    // program, and on 64-bit Windows its installer writes under WOW6432Node.
    // A 32-bit build sees that view anyway; a 64-bit one must ask for it.
    const LONG status =
        RegOpenKeyExA(AsHkey(root), subKey, 0, MAXIMUM_ALLOWED | KEY_WOW64_32KEY, &opened);
    if (result) *result = status == ERROR_SUCCESS ? reinterpret_cast<RegistryKey>(opened) : 0;
    return status;
}

long Win32Registry::QueryValue(RegistryKey key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, unsigned char* data, std::uint32_t* count) {
    DWORD valueType = type ? *type : 0;
    DWORD bytes = count ? *count : 0;
    const LONG status = RegQueryValueExA(AsHkey(key), valueName, reinterpret_cast<LPDWORD>(reserved),
                                         type ? &valueType : nullptr, data,
                                         count ? &bytes : nullptr);
    if (type) *type = valueType;
    if (count) *count = bytes;
    return status;
}

long Win32Registry::CloseKey(RegistryKey key) { return RegCloseKey(AsHkey(key)); }

}  // namespace tapelark
