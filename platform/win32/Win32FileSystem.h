// SPDX-License-Identifier: MIT
#pragma once
#include "platform/FileSystem.h"

namespace tapelark {

// Files through kernel32's ANSI calls; failures carry the system's own words.
class Win32FileSystem : public FileSystem {
public:
    void Remove(const std::string& path) override;
    bool Exists(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to) override;
};

}  // namespace tapelark
