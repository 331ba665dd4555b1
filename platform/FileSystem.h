// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tapelark {

// A file step that could not be done; what() says why, in words for the user.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The few file operations the capture engine needs. Every one but Exists
// throws FileError when it fails.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::int64_t LengthOf(const std::string& path) = 0;
    virtual void Remove(const std::string& path) = 0;
    // Opens the file for reading and writing (creating it empty when missing,
    // keeping an existing file's contents) and closes it at once.
    virtual void CreateEmptyAndClose(const std::string& path) = 0;
    // Renames `from` to `to`; `to` must not exist.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
    // Whether anything at all is at the path (no throw).
    virtual bool Exists(const std::string& path) = 0;
    // Puts the finished file `from` in the place of the file `to` in one
    // step: at every moment `to` names either the old file or the new one.
    // The new one takes over the old one's permissions. Both are in one folder.
    virtual void Replace(const std::string& from, const std::string& to) = 0;
};

}  // namespace tapelark
