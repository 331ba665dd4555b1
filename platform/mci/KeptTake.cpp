// SPDX-License-Identifier: MIT
#include "platform/mci/KeptTake.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <unistd.h>

#include "common/WriteAll.h"
#include "platform/mci/TakeFolder.h"

namespace tapelark {

namespace {

std::string NewId() {
    static thread_local std::mt19937 random{std::random_device{}()};
    char id[9];
    std::snprintf(id, sizeof id, "%08x", static_cast<unsigned>(random()));
    return id;
}

}  // namespace

KeptTake::KeptTake(std::string folder, std::string id, int fd)
    : folder_(std::move(folder)), id_(std::move(id)), fd_(fd) {}

std::unique_ptr<KeptTake> KeptTake::Start(std::string& whyNot) {
    const std::string folder = TakeFolder();
    if (folder.empty()) {
        whyNot = "there is no home folder to keep it in";
        return nullptr;
    }
    if (int e = MakeTakeFolder(folder)) {
        whyNot = "cannot make the folder " + folder + ": " + std::strerror(e);
        return nullptr;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string id = NewId();
        // Made under a name no one lists and locked before it is named, so
        // nobody ever sees the take of a living program unlocked.
        const std::string fresh = folder + "/." + id + ".new";
        int fd = ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            whyNot = "cannot write in " + folder + ": " + std::strerror(errno);
            return nullptr;
        }
        ::flock(fd, LOCK_EX);  // a new file: nobody else holds it
        // A link never replaces a file; where the file system has no links,
        // a rename does, with a name that random was just checked free.
        const std::string sound = TakeSoundPath(folder, id);
        int named = ::link(fresh.c_str(), sound.c_str()) == 0 ? 0 : errno;
        if (named == EPERM || named == ENOTSUP)
            named = ::access(sound.c_str(), F_OK) == 0 ? EEXIST : ::rename(fresh.c_str(), sound.c_str()) == 0 ? 0 : errno;
        ::unlink(fresh.c_str());
        if (named != 0) {
            ::close(fd);
            if (named == EEXIST) continue;
            whyNot = "cannot write in " + folder + ": " + std::strerror(named);
            return nullptr;
        }
        std::unique_ptr<KeptTake> take(new KeptTake(folder, id, fd));
        take->description_.owner = static_cast<long>(::getpid());
        take->description_.started = static_cast<std::int64_t>(std::time(nullptr));
        if (!take->WriteDescription()) {
            whyNot = "cannot write in " + folder + ": " + std::strerror(errno);
            return nullptr;
        }
        whyNot.clear();
        return take;
    }
    whyNot = "cannot find a free name in " + folder;
    return nullptr;
}

KeptTake::~KeptTake() {
    // The description first: what a lister may glimpse meanwhile is a sound
    // file that is still locked.
    ::unlink(TakeDescriptionPath(folder_, id_).c_str());
    ::unlink(TakeSoundPath(folder_, id_).c_str());
    ::close(fd_);
}

void KeptTake::Describe(const WaveFormat& format, const std::string& input, bool startsNow) {
    description_.format = format;
    description_.input = input;
    if (startsNow) description_.started = static_cast<std::int64_t>(std::time(nullptr));
    WriteDescription();
}

bool KeptTake::WriteDescription() {
    const std::string path = TakeDescriptionPath(folder_, id_), fresh = folder_ + "/." + id_ + ".txt.new";
    int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const std::string text = FormatTakeDescription(description_);
    bool written = WriteAll([fd](const char* p, std::size_t n) {
        ssize_t w;
        do w = ::write(fd, p, n);
        while (w < 0 && errno == EINTR);
        return w;
    }, text.data(), text.size());
    int error = errno;
    ::close(fd);
    if (written && ::rename(fresh.c_str(), path.c_str()) == 0) return true;
    error = written ? errno : error;
    ::unlink(fresh.c_str());
    errno = error;
    return false;
}

}  // namespace tapelark
