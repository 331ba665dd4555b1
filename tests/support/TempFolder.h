// SPDX-License-Identifier: MIT
#pragma once
// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards (read-only parts included).
#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tapelark::testing {

class TempFolder {
public:
    // `name` may hold blanks, to test paths that do.
    explicit TempFolder(const std::string& name = "tapelark") {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        while (path_.empty()) {
            const auto candidate = base / (name + "-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) path_ = candidate.string();
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const {
        return path_ + static_cast<char>(std::filesystem::path::preferred_separator) + name;
    }
    // The names in the folder, sorted, to show that nothing was left behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string path_;
};

}  // namespace tapelark::testing
