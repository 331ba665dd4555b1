// SPDX-License-Identifier: MIT
#pragma once
#include "platform/FileSystem.h"

namespace tapelark {

// Files through kernel32's ANSI calls; failures carry the system's own words.
class Win32FileSystem : public FileSystem {
public:
    std::int64_t LengthOf(const std::string& path) override;
    void Remove(const std::string& path) override;
    void CreateEmptyAndClose(const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to) override;
};

}  // namespace tapelark
