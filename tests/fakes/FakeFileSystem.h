// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstring>
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

// Short forms for the fake file system: a path has one, its blanks made "~",
// only while something is there.
class FakeShortPaths : public ShortPaths {
public:
    explicit FakeShortPaths(FakeFileSystem& files) : files_(files) {}

    std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) override {
        if (!files_.Exists(path)) return 0;
        std::string form = path;
        std::replace(form.begin(), form.end(), ' ', '~');
        if (form.size() + 1 > capacity) return static_cast<std::uint32_t>(form.size() + 1);
        std::memcpy(buffer, form.c_str(), form.size() + 1);
        return static_cast<std::uint32_t>(form.size());
    }

private:
    FakeFileSystem& files_;
};

}  // namespace tapelark::testing
