// SPDX-License-Identifier: MIT
#include "platform/mci/TakeFolder.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tapelark {

std::string TakeFolder() {
    // XDG base directories must be absolute; a relative one is ignored.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/tapelark";
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] ? home : "";
    if (base.empty()) {
        if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) base = user->pw_dir;
    }
    if (base.empty()) return {};
    return base + "/.local/state/tapelark";
}

int MakeTakeFolder(const std::string& folder) {
    if (folder.empty()) return ENOENT;
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) == 0 || errno == EEXIST) continue;
        return errno;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ENOTDIR;
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::string TakeSoundPath(const std::string& folder, const std::string& id) { return folder + "/" + id + ".pcm"; }

std::string TakeDescriptionPath(const std::string& folder, const std::string& id) {
    return folder + "/" + id + ".txt";
}

bool IsTakeId(const std::string& id) {
    if (id.empty() || id.size() > 32) return false;
    for (char c : id)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

}  // namespace tapelark
