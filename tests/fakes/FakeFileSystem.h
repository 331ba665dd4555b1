// SPDX-License-Identifier: MIT
#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"
#include "platform/ShortPaths.h"

namespace tapelark::testing {

// An in-memory file system: path -> contents. A step on a path with nothing
// there fails, and any step can be made to fail for a path.
class FakeFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> failing;  // entries like "remove /x", "replace /x"

    std::int64_t LengthOf(const std::string& path) override {
        Step("length", path);
        return static_cast<std::int64_t>(files[path].size());
    }
    void Remove(const std::string& path) override {
        Step("remove", path);
        files.erase(path);
    }
    void CreateEmptyAndClose(const std::string& path) override { files.emplace(path, ""); }
    void Rename(const std::string& from, const std::string& to) override {
        if (files.count(to)) throw FileError("cannot rename over " + to);
        Replace(from, to);
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

// Nothing has a short form (nothing asks for one but the engine's ShortPathOf,
// which the program does not use; tests/win32 tries it on real files).
struct FakeShortPaths : ShortPaths {
    std::uint32_t Query(const char*, char*, std::uint32_t) override { return 0; }
};

}  // namespace tapelark::testing
