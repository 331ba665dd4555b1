// SPDX-License-Identifier: MIT
#include "platform/mci/WaveFileWriter.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <string_view>
#include <vector>

#include "common/WriteAll.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/SpoolFile.h"

namespace tapelark {

namespace {

// libsndfile writes the file through these, so the errno of a failed write
// (a full disk, a file size limit) reaches the user instead of a generic
// failure. libsndfile frames the file (header, sizes, RF64); the samples are
// already laid out as the file wants them in the spool, so when it hands us
// the placeholder block we copy the matching spool bytes kernel-side, as cp
// does, instead of through user memory twice.
struct OutputFile {
    int fd = -1;
    int error = 0;
    const SpoolFile* spool = nullptr;
    std::uint64_t spoolOffset = 0;           // next sample byte to copy
    const void* placeholder = nullptr;       // stands for spool bytes in writes
    bool copyRange = true;                   // false once the kernel refused
    std::vector<char> bounce;                // for when it does
};

sf_count_t FileLength(void* user) {
    struct stat st {};
    return ::fstat(static_cast<OutputFile*>(user)->fd, &st) == 0 ? st.st_size : -1;
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    return ::lseek(static_cast<OutputFile*>(user)->fd, offset, whence);
}

sf_count_t Read(void* data, sf_count_t count, void* user) {
    ssize_t n = ::read(static_cast<OutputFile*>(user)->fd, data, static_cast<std::size_t>(count));
    return n < 0 ? 0 : n;
}

// Writes all of it; the first failure's errno stays in `out.error`.
bool WriteOut(OutputFile& out, const char* p, std::size_t count) {
    return WriteAll(
        [&out](const char* bytes, std::size_t size) {
            ssize_t n;
            do n = ::write(out.fd, bytes, size);
            while (n < 0 && errno == EINTR);
            if (n <= 0 && out.error == 0) out.error = n < 0 ? errno : ENOSPC;
            return n;
        },
        p, count);
}

// Sends what was just written on its way to the disk while the copy goes
// on, so the closing fsync waits for the last piece only instead of the
// whole file. Only a hint: the fsync still decides.
void StartWriteback(OutputFile& out, std::size_t written) {
    off_t end = ::lseek(out.fd, 0, SEEK_CUR);
    if (end < 0) return;
    (void)::sync_file_range(out.fd, end - static_cast<off_t>(written), static_cast<off_t>(written),
                            SYNC_FILE_RANGE_WRITE);
}

// Copies `count` spool bytes to the file's current offset; false on failure.
bool CopyFromSpool(OutputFile& out, std::size_t count) {
    std::size_t done = 0;
    while (done < count && out.copyRange) {
        loff_t from = static_cast<loff_t>(out.spoolOffset);
        ssize_t n = ::copy_file_range(out.spool->Descriptor(), &from, out.fd, nullptr, count - done, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
            out.copyRange = false;  // another file system, or an old kernel
            break;
        }
        if (n <= 0) {
            if (out.error == 0) out.error = n < 0 ? errno : ENOSPC;
            return false;
        }
        out.spoolOffset += static_cast<std::uint64_t>(n);
        done += static_cast<std::size_t>(n);
        StartWriteback(out, n);
    }
    while (done < count) {
        out.bounce.resize(1 << 20);
        std::size_t want = std::min(count - done, out.bounce.size());
        long long got = out.spool->ReadAt(out.spoolOffset, out.bounce.data(), want);
        if (got <= 0) {
            if (out.error == 0) out.error = got < 0 ? errno : EIO;
            return false;
        }
        if (!WriteOut(out, out.bounce.data(), static_cast<std::size_t>(got))) return false;
        out.spoolOffset += static_cast<std::uint64_t>(got);
        done += static_cast<std::size_t>(got);
        StartWriteback(out, static_cast<std::size_t>(got));
    }
    return true;
}

sf_count_t Write(const void* data, sf_count_t count, void* user) {
    auto& out = *static_cast<OutputFile*>(user);
    bool ok = data == out.placeholder ? CopyFromSpool(out, static_cast<std::size_t>(count))
                                      : WriteOut(out, static_cast<const char*>(data), static_cast<std::size_t>(count));
    return ok ? count : 0;
}

sf_count_t Tell(void* user) { return ::lseek(static_cast<OutputFile*>(user)->fd, 0, SEEK_CUR); }

// A link saved over stays a link: what is saved over is the file it points
// to, and the new file is written beside that one.
std::uint32_t FollowLinks(std::string& path) {
    if (path.find('\0') != std::string::npos) return 0;  // refused below, before any system call
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        std::string to(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), to.data(), to.size());
        if (n < 0) return mcierr::FromFileErrno(errno);
        if (n == 0 || static_cast<std::size_t>(n) >= to.size()) return mcierr::kNameTooLong;
        to.resize(static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        path = to.front() == '/' || slash == std::string::npos ? to : path.substr(0, slash + 1) + to;
    }
    return mcierr::FromFileErrno(ELOOP);
}

std::uint32_t CheckTarget(const std::string& path, std::string& folder) {
    if (path.empty()) return mcierr::kFilenameRequired;
    // The system would take the name only up to the NUL: another file.
    if (path.find('\0') != std::string::npos) return mcierr::kNulInPath;
    if (path.size() >= PATH_MAX) return mcierr::kNameTooLong;
    std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return mcierr::kIsAFolder;
    long nameMax = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameMax < 0) nameMax = NAME_MAX;
    if (name.size() > static_cast<std::size_t>(nameMax)) return mcierr::kNameTooLong;
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return mcierr::FromFileErrno(errno);
    if (!S_ISDIR(st.st_mode)) return mcierr::kNotAFolder;
    if (::stat(path.c_str(), &st) != 0) return 0;
    if (S_ISDIR(st.st_mode)) return mcierr::kIsAFolder;
    // A read-only file is refused as winmm refuses it, even to root; a
    // rename would replace it all the same.
    const bool locked = ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
    if ((st.st_mode & 0222) == 0 || locked) return mcierr::kFileNotSaved;
    return 0;
}

// A fresh name next to the target; short, so a long target name still fits.
constexpr std::string_view kTemporaryStart = ".tapelark-", kTemporaryEnd = ".part";
std::string TemporaryName(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    return folder + "/" + std::string(kTemporaryStart) + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + std::string(kTemporaryEnd);
}

bool IsTemporaryName(std::string_view name) {
    if (!name.starts_with(kTemporaryStart) || !name.ends_with(kTemporaryEnd)) return false;
    name = name.substr(kTemporaryStart.size(), name.size() - kTemporaryStart.size() - kTemporaryEnd.size());
    const std::size_t dash = name.find('-');
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

// A save holds a lock on its file from the start, so a temporary name whose
// file nobody holds is what a killed save left: removed here. Even a file
// written unnamed has such a name for an instant before the rename (a link
// never replaces a name), and a kill then leaves it.
void RemoveLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) continue;
        const std::string name = folder + "/" + entry->d_name;
        const int fd = ::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(name.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// Where the file system has them, the file is written unnamed, so a save cut
// short, even by the end of the program, leaves nothing behind. A name is
// given through /proc once the file is complete.
int OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
    if (::access("/proc/self/fd", X_OK) == 0)
        return ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);  // 0666: the umask decides
#endif
    errno = EOPNOTSUPP;
    return -1;
}

bool NoUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

// A named file to fall back on; removed again whenever the save fails.
int CreateNamed(const std::string& folder, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(folder);
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Gives the complete unnamed file behind `fd` the name `path`; 0 or an errno.
int NameUnnamed(int fd, const std::string& folder, const std::string& path) {
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
    if (errno != EEXIST) return errno;
    // A link never replaces: over an existing file, the file gets a name of
    // its own first and is then renamed over the old one in one step.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = TemporaryName(folder);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        if (::rename(temporary.c_str(), path.c_str()) == 0) return 0;
        int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    return EEXIST;
}

std::uint32_t CopySamples(std::uint64_t dataBytes, SNDFILE* sf, OutputFile& out) {
    // libsndfile counts frames by what passes through sf_write_raw; the
    // placeholder's contents are never read (see OutputFile).
    constexpr std::size_t kChunk = 32 << 20;  // a multiple of every block alignment
    // calloc of this size maps fresh zero pages and never touches them, so
    // the placeholder costs no resident memory.
    static const char* placeholder = static_cast<const char*>(std::calloc(kChunk, 1));
    if (!placeholder) return mcierr::kOutOfMemory;
    out.placeholder = placeholder;
    std::uint64_t at = 0;
    while (at < dataBytes) {
        auto n = static_cast<sf_count_t>(std::min<std::uint64_t>(kChunk, dataBytes - at));
        if (sf_write_raw(sf, placeholder, n) != n)
            return out.error ? mcierr::FromFileErrno(out.error) : mcierr::kFileWrite;
        at += static_cast<std::uint64_t>(n);
    }
    return 0;
}

std::uint32_t WriteInto(int fd, const WaveFormat& format, const SpoolFile& spool, std::uint64_t dataBytes) {
    OutputFile out;
    out.fd = fd;
    out.spool = &spool;
    SF_VIRTUAL_IO io{FileLength, Seek, Read, Write, Tell};
    SF_INFO info{};
    info.samplerate = static_cast<int>(format.samplesPerSec);
    info.channels = format.channels;
    info.format = (ContainerFor(dataBytes) == WaveContainer::Rf64 ? SF_FORMAT_RF64 : SF_FORMAT_WAV) |
                  (format.bitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &out);
    if (!sf) return out.error ? mcierr::FromFileErrno(out.error) : mcierr::kFileWrite;
    std::uint32_t code = CopySamples(dataBytes, sf, out);
    // Closing writes the final sizes into the header.
    int closed = sf_close(sf);
    if (code == 0 && out.error) code = mcierr::FromFileErrno(out.error);
    if (code == 0 && closed != 0) code = mcierr::kFileWrite;
    if (code == 0 && ::fsync(fd) != 0) code = mcierr::FromFileErrno(errno);
    return code;
}

}  // namespace

WaveContainer ContainerFor(std::uint64_t dataBytes) {
    // Leaves room for the header chunks inside the 32-bit RIFF size.
    return dataBytes > 0xFFFFFFFFull - 4096 ? WaveContainer::Rf64 : WaveContainer::Riff;
}

std::uint32_t WriteWaveFile(const std::string& userPath, const WaveFormat& format, const SpoolFile& spool,
                            std::uint64_t dataBytes) {
    std::string path = userPath, folder;
    if (std::uint32_t code = FollowLinks(path)) return code;
    if (std::uint32_t code = CheckTarget(path, folder)) return code;
    std::string named;  // empty while the file is unnamed
    int fd = OpenUnnamed(folder);
    if (fd < 0 && NoUnnamedFiles(errno)) fd = CreateNamed(folder, named);
    if (fd < 0) return mcierr::FromFileErrno(errno);
    (void)::flock(fd, LOCK_EX | LOCK_NB);  // this save is alive
    RemoveLeftovers(folder);
    // A file saved over keeps its owner and permissions, as when it is edited in place.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        (void)::fchown(fd, old.st_uid, old.st_gid);
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    std::uint32_t code = WriteInto(fd, format, spool, dataBytes);
    if (code == 0) {
        int error = 0;
        if (named.empty()) error = NameUnnamed(fd, folder, path);
        else if (::rename(named.c_str(), path.c_str()) != 0) error = errno;
        if (error != 0) code = mcierr::FromFileErrno(error);
    }
    ::close(fd);  // after fsync there is no write error left for it to report
    if (code != 0) {
        if (!named.empty()) ::unlink(named.c_str());
        return code;
    }
    // The new name survives a crash only once the folder is on disk.
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return 0;
}

}  // namespace tapelark
