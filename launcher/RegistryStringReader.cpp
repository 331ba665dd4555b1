// SPDX-License-Identifier: MIT
#include "launcher/RegistryStringReader.h"

#include <cstdint>

#include "common/ApplicationTitle.h"
#include "common/Guarded.h"

namespace tapelark {

namespace {
constexpr std::uint32_t kBufferLength = 255;
constexpr const char* kCloseFailed = "RegCloseKey Failed: ";
}  // namespace

RegistryStringReader::RegistryStringReader(Registry& registry, MessageBoxes& messages)
    : registry_(registry), messages_(messages) {}

std::string RegistryStringReader::ReadRegistryString(RegistryKey root, const std::string& subKey,
                                                     const std::string& valueName) {
    std::string result;

    long status = -1;
    RegistryKey key = 0;
    Guarded([&] { status = registry_.OpenKey(root, subKey.c_str(), &key); });
    if (status != kRegistrySuccess) return result;

    std::string buffer(kBufferLength, ' ');
    std::uint32_t count = kBufferLength;
    std::uint32_t type = kRegExpandSz;  // replaced by the value's own type, which is not looked at
    status = -1;
    Guarded([&] {
        status = registry_.QueryValue(key, valueName.c_str(), nullptr, &type,
                                      reinterpret_cast<unsigned char*>(buffer.data()), &count);
    });
    // The count is a signed 32-bit number to the registry's callers.
    const auto bytes = static_cast<std::int32_t>(count);
    if (status == kRegistrySuccess && bytes > 1) {
        // The stored text without its terminating NUL; substr keeps within the
        // buffer should the registry report more than it wrote.
        Guarded([&] { result = buffer.substr(0, static_cast<std::size_t>(bytes) - 1); });
    }

    status = -1;
    Guarded([&] { status = registry_.CloseKey(key); });
    if (status != kRegistrySuccess) {
        Guarded([&] { messages_.Show(kCloseFailed + subKey, kStyleExclamation, kApplicationTitle); });
    }
    return result;
}

}  // namespace tapelark
