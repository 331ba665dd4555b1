// SPDX-License-Identifier: MIT
#include "platform/mci/SpoolWriter.h"

#include <algorithm>

#include "platform/mci/SpoolFile.h"

namespace tapelark {

SpoolWriter::SpoolWriter(SpoolFile& spool) : spool_(spool) {
    filling_.reserve(kPiece * 2);
    writing_.reserve(kPiece * 2);
    thread_ = std::thread([this] { Run(); });
}

SpoolWriter::~SpoolWriter() {
    {
        std::lock_guard lock(bufferMutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
    Flush();
}

void SpoolWriter::Append(const void* data, std::size_t bytes) {
    bool full = false, overfull = false;
    {
        std::lock_guard lock(bufferMutex_);
        const auto* p = static_cast<const unsigned char*>(data);
        filling_.insert(filling_.end(), p, p + bytes);
        total_.fetch_add(bytes, std::memory_order_release);
        full = filling_.size() >= kPiece;
        overfull = filling_.size() >= kMost;
    }
    // A disk this far behind holds up the caller rather than the memory.
    if (overfull) Flush();
    else if (full) wake_.notify_one();
}

void SpoolWriter::Run() {
    std::unique_lock lock(bufferMutex_);
    while (true) {
        // Whatever has come is handed to the file system twice a second even
        // when it makes no full piece: that much is all a crash can lose.
        wake_.wait_for(lock, kHandOver, [this] { return stop_ || filling_.size() >= kPiece; });
        if (stop_) return;
        if (!filling_.empty()) WriteOut(lock);
    }
}

// Called with the buffer locked; returns with it locked.
void SpoolWriter::WriteOut(std::unique_lock<std::mutex>& bufferLock) {
    bufferLock.unlock();
    {
        std::lock_guard write(writeMutex_);
        {
            std::lock_guard again(bufferMutex_);
            filling_.swap(writing_);
        }
        // One write for the piece: each call costs the file system far more
        // than its bytes do. Should the disk fill up, again in steps, so that
        // it still takes what fits.
        if (error_.load() == 0 && !writing_.empty() && spool_.Append(writing_.data(), writing_.size()) != 0) {
            constexpr std::size_t kStep = 64 * 1024;
            for (std::size_t at = 0; at < writing_.size() && error_.load() == 0; at += kStep) {
                std::size_t n = std::min(kStep, writing_.size() - at);
                if (int e = spool_.Append(writing_.data() + at, n))
                    error_.store(e, std::memory_order_release);
            }
        }
        writing_.clear();
    }
    bufferLock.lock();
}

int SpoolWriter::Flush() {
    std::unique_lock lock(bufferMutex_);
    WriteOut(lock);
    return error_.load();
}

}  // namespace tapelark
