// SPDX-License-Identifier: MIT
#include "platform/mci/SpoolFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/mci/MciErrors.h"

namespace tapelark {

namespace {

int OpenUnnamed(const std::string& dir) {
#ifdef O_TMPFILE
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
#endif
    // File systems without O_TMPFILE: a named file, unlinked at once.
    std::string name = dir + "/tapelark-spool-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(name.c_str());
    return fd;
}

}  // namespace

SpoolFile::~SpoolFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::uint32_t SpoolFile::Create() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp";
    fd_ = OpenUnnamed(dir);
    if (fd_ < 0 && dir != "/tmp") fd_ = OpenUnnamed("/tmp");
    return fd_ >= 0 ? 0 : mcierr::FromSpoolErrno(errno);
}

std::uint32_t SpoolFile::Adopt(int fd) {
    fd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return mcierr::FromSpoolErrno(errno);
    size_.store(static_cast<std::uint64_t>(st.st_size), std::memory_order_release);
    return 0;
}

int SpoolFile::Append(const void* data, std::size_t bytes) {
    std::uint64_t at = size_.load(std::memory_order_relaxed);
    const char* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < bytes) {
        ssize_t n = ::pwrite(fd_, p + done, bytes - done, static_cast<off_t>(at + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    size_.store(at + bytes, std::memory_order_release);
    return 0;
}

long long SpoolFile::ReadAt(std::uint64_t offset, void* data, std::size_t bytes) const {
    while (true) {
        ssize_t n = ::pread(fd_, data, bytes, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        return n;
    }
}

namespace {

// Copies `bytes` from `in` at `from` to `out` at `to`, front to back, so a
// copy downwards within one file is safe.
int CopyRange(int in, std::uint64_t from, int out, std::uint64_t to, std::uint64_t bytes) {
    std::vector<char> buffer(std::min<std::uint64_t>(bytes, 1 << 20));
    while (bytes > 0) {
        std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, buffer.size()));
        ssize_t n = ::pread(in, buffer.data(), want, static_cast<off_t>(from));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::pwrite(out, buffer.data() + done, static_cast<std::size_t>(n - done),
                                 static_cast<off_t>(to + static_cast<std::uint64_t>(done)));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return errno;
            if (w == 0) return ENOSPC;
            done += w;
        }
        from += static_cast<std::uint64_t>(n);
        to += static_cast<std::uint64_t>(n);
        bytes -= static_cast<std::uint64_t>(n);
    }
    return 0;
}

}  // namespace

int SpoolFile::Truncate(std::uint64_t bytes) {
    if (bytes >= Size()) return 0;
    if (::ftruncate(fd_, static_cast<off_t>(bytes)) != 0) return errno;
    size_.store(bytes, std::memory_order_release);
    return 0;
}

int SpoolFile::AppendFrom(const SpoolFile& from, std::uint64_t offset, std::uint64_t bytes) {
    std::uint64_t at = Size();
    if (int e = CopyRange(from.fd_, offset, fd_, at, bytes)) return e;
    size_.store(at + bytes, std::memory_order_release);
    return 0;
}

int SpoolFile::Remove(std::uint64_t begin, std::uint64_t end) {
    std::uint64_t size = Size();
    if (end > size) end = size;
    if (begin >= end) return 0;
    if (int e = CopyRange(fd_, end, fd_, begin, size - end)) return e;
    return Truncate(size - (end - begin));
}

}  // namespace tapelark
