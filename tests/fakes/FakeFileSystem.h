// SPDX-License-Identifier: MIT
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ShortPaths.h"

namespace tapelark::testing {

// An in-memory file system: path -> contents. Every operation is logged as
// "op path", and any of them can be made to fail for a path.
class FakeFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::vector<std::string> log;
    std::set<std::string> failing;  // entries like "remove /x", "create /x", "replace /x"

    std::int64_t LengthOf(const std::string& path) override {
        Step("length", path);
        auto it = files.find(path);
        if (it == files.end()) throw FileError("no such file: " + path);
        return static_cast<std::int64_t>(it->second.size());
    }
    void Remove(const std::string& path) override {
        Step("remove", path);
        if (files.erase(path) == 0) throw FileError("no such file: " + path);
    }
    void CreateEmptyAndClose(const std::string& path) override {
        Step("create", path);
        files.emplace(path, "");
    }
    void Rename(const std::string& from, const std::string& to) override {
        Step("rename", from);
        auto it = files.find(from);
        if (it == files.end() || files.count(to)) throw FileError("cannot rename " + from);
        files[to] = it->second;
        files.erase(from);
    }
    bool Exists(const std::string& path) override { return files.count(path) > 0; }
    void Replace(const std::string& from, const std::string& to) override {
        Step("replace", from);
        auto it = files.find(from);
        if (it == files.end()) throw FileError("cannot replace with " + from);
        files[to] = it->second;
        files.erase(from);
    }

private:
    void Step(const std::string& op, const std::string& path) {
        log.push_back(op + " " + path);
        if (failing.count(op + " " + path)) throw FileError(op + " failed: " + path);
    }
};

// Short forms for the fake file system: a path has one only while something
// is there; by default blanks become "~".
class FakeShortPaths : public ShortPaths {
public:
    explicit FakeShortPaths(FakeFileSystem& files) : files_(files) {}
    std::map<std::string, std::string> forms;  // explicit short forms
    std::vector<std::string> asked;

    std::uint32_t Query(const char* path, char* buffer, std::uint32_t capacity) override {
        asked.push_back(path);
        if (!files_.Exists(path)) return 0;
        std::string form = forms.count(path) ? forms[path] : Default(path);
        if (form.size() + 1 > capacity) return static_cast<std::uint32_t>(form.size() + 1);
        form.copy(buffer, form.size());
        buffer[form.size()] = '\0';
        return static_cast<std::uint32_t>(form.size());
    }

private:
    static std::string Default(std::string path) {
        for (char& c : path)
            if (c == ' ') c = '~';
        return path;
    }
    FakeFileSystem& files_;
};

}  // namespace tapelark::testing
