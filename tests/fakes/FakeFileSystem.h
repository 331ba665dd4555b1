// SPDX-License-Identifier: MIT
#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace tapelark::testing {

// An in-memory file system: path -> contents. A step on a path with nothing
// there fails, and any step can be made to fail for a path.
class FakeFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> failing;  // entries like "remove /x", "replace /x"

    void Remove(const std::string& path) override {
        Step("remove", path);
        files.erase(path);
    }
    bool Exists(const std::string& path) override { return files.count(path) > 0; }
    void Replace(const std::string& from, const std::string& to) override {
        Step("replace", from);
        files[to] = files[from];
        files.erase(from);
    }

private:
    void Step(const std::string& op, const std::string& path) {
        if (failing.count(op + " " + path) || !files.count(path)) throw FileError(op + " failed: " + path);
    }
};

}  // namespace tapelark::testing
