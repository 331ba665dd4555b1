// SPDX-License-Identifier: MIT
#pragma once
#include "platform/FileSystem.h"

namespace tapelark {

// File services over POSIX calls; errors carry strerror's text.
class LinuxFileSystem final : public FileSystem {
public:
    void Remove(const std::string& path) override;
    bool Exists(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to) override;
};

}  // namespace tapelark
