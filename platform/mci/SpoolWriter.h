// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace tapelark {

class SpoolFile;

// Takes recorded bytes from the sound server's thread into memory and writes
// them to the spool in large pieces on a thread of its own, so the server's
// thread never waits on the disk and the disk sees few writes. Nothing stays
// in memory for longer than kHandOver; no fsync: the file system's own
// journal decides what survives a power failure.
class SpoolWriter {
public:
    explicit SpoolWriter(SpoolFile& spool);
    ~SpoolWriter();  // writes what is left
    SpoolWriter(const SpoolWriter&) = delete;
    SpoolWriter& operator=(const SpoolWriter&) = delete;

    // Copies; blocks on the disk only when it is far behind.
    void Append(const void* data, std::size_t bytes);
    // Everything appended so far, written or not.
    std::uint64_t Total() const { return total_.load(std::memory_order_acquire); }
    // Writes everything appended so far; the first write error's errno, or 0.
    int Flush();
    int Error() const { return error_.load(std::memory_order_acquire); }

private:
    void Run();
    void WriteOut(std::unique_lock<std::mutex>& bufferLock);

    static constexpr std::size_t kPiece = 256 * 1024;
    static constexpr std::size_t kMost = 16 * 1024 * 1024;
    static constexpr std::chrono::milliseconds kHandOver{500};
    SpoolFile& spool_;
    std::mutex bufferMutex_;  // guards filling_, stop_
    std::condition_variable wake_;
    std::vector<unsigned char> filling_;
    bool stop_ = false;
    std::mutex writeMutex_;  // one writer at a time, in order
    std::vector<unsigned char> writing_;
    std::atomic<std::uint64_t> total_{0};
    std::atomic<int> error_{0};
    std::thread thread_;
};

}  // namespace tapelark
