// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tapelark {

// The file that holds a recording, so memory stays flat however long it
// runs: an unnamed temporary file, or a kept take's sound file. One thread appends while others read what is
// already there; Size() only ever counts bytes that are fully written.
class SpoolFile {
public:
    SpoolFile() = default;
    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    // Creates the file in $TMPDIR (or /tmp); 0 or an MCI error code.
    std::uint32_t Create();
    // Works on its own descriptor of the open file `fd`, whose bytes so far
    // count as written; 0 or an MCI error code.
    std::uint32_t Adopt(int fd);
    // Appends; on failure nothing of `bytes` counts and the errno is returned.
    int Append(const void* data, std::size_t bytes);
    // Reads from `offset`; returns the count read, or -1 with errno set.
    long long ReadAt(std::uint64_t offset, void* data, std::size_t bytes) const;
    std::uint64_t Size() const { return size_.load(std::memory_order_acquire); }
    // Keeps the first `bytes`; 0 or an errno.
    int Truncate(std::uint64_t bytes);
    // Appends `bytes` of `from` starting at `offset`; 0 or an errno.
    int AppendFrom(const SpoolFile& from, std::uint64_t offset, std::uint64_t bytes);
    // Cuts out [begin, end), moving what follows down; 0 or an errno.
    int Remove(std::uint64_t begin, std::uint64_t end);
    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
    std::atomic<std::uint64_t> size_{0};
};

}  // namespace tapelark
