// SPDX-License-Identifier: MIT
#include "platform/linux/LinuxFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tapelark {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
    throw FileError(what + " \"" + path + "\": " + std::strerror(error));
}

}  // namespace

void LinuxFileSystem::Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0) Fail("Cannot delete", path, errno);
}

void LinuxFileSystem::Replace(const std::string& from, const std::string& to) {
    struct stat old {};
    if (::stat(to.c_str(), &old) == 0) {
        // Owner first: changing it clears the set-id bits the mode brings back.
        (void)::chown(from.c_str(), old.st_uid, old.st_gid);
        (void)::chmod(from.c_str(), old.st_mode & 07777);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) Fail("Cannot put \"" + from + "\" in the place of", to, errno);
    // The new name survives a crash only once the folder is on disk.
    std::size_t slash = to.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : to.substr(0, slash));
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
}

bool LinuxFileSystem::Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace tapelark
