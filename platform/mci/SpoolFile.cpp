#include "platform/mci/SpoolFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

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
    return fd_ >= 0 ? 0 : mcierr::FromResourceErrno(errno, mcierr::kSpoolFailed);
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

void SpoolFile::Clear() {
    size_.store(0, std::memory_order_release);
    if (fd_ >= 0) (void)::ftruncate(fd_, 0);
}

}  // namespace tapelark
