// SPDX-License-Identifier: MIT
#include "platform/win32/FilesHeldBySound.h"

#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace tapelark {
namespace {

struct Held {
    std::mutex lock;
    std::vector<std::string> paths;
};

Held& HeldFiles() {
    static Held held;
    return held;
}

}  // namespace

void RemoveWhenReleased(const std::string& path) {
    Held& held = HeldFiles();
    std::lock_guard guard(held.lock);
    if (std::find(held.paths.begin(), held.paths.end(), path) == held.paths.end()) held.paths.push_back(path);
}

void RemoveReleasedFiles() {
    Held& held = HeldFiles();
    std::lock_guard guard(held.lock);
    std::erase_if(held.paths, [](const std::string& path) {
        return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    });
}

bool AnyFileAwaitsRelease() {
    Held& held = HeldFiles();
    std::lock_guard guard(held.lock);
    return !held.paths.empty();
}

}  // namespace tapelark
