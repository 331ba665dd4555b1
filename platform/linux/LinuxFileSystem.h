// SPDX-License-Identifier: MIT
#pragma once
#include "platform/FileSystem.h"

namespace tapelark {

// File services over POSIX calls; errors carry strerror's text.
class LinuxFileSystem final : public FileSystem {
public:
    std::int64_t LengthOf(const std::string& path) override;
    void Remove(const std::string& path) override;
    void CreateEmptyAndClose(const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    bool Exists(const std::string& path) override;
    void Replace(const std::string& from, const std::string& to) override;
};

}  // namespace tapelark
