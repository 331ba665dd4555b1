// SPDX-License-Identifier: MIT
#pragma once
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
    virtual void Remove(const std::string& path) = 0;
    // Whether anything at all is at the path (no throw).
    virtual bool Exists(const std::string& path) = 0;
    // Puts the finished file `from` in the place of the file `to` in one
    // step: at every moment `to` names either the old file or the new one.
    // The new one takes over the old one's permissions. Both are in one folder.
    virtual void Replace(const std::string& from, const std::string& to) = 0;
};

}  // namespace tapelark
