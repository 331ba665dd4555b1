// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace tapelark {

// A file step that could not be done; what() says why, in words for the user.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How the file that the multimedia system's "save" writes comes to stand
// under the user's name, so that the name holds the old file or the whole
// new one at every moment.
class FileSaving {
public:
    // Writes the file to the path it is given: 0, or the multimedia system's error.
    using Save = std::function<std::uint32_t(const std::string& target)>;

    virtual ~FileSaving() = default;
    // Has `save` write the file for `path` and returns its result. Throws
    // FileError when a step of its own fails; the old file is then kept.
    virtual std::uint32_t SaveAs(const std::string& path, const Save& save) = 0;
};

}  // namespace tapelark
