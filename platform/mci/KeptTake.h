// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/mci/TakeDescription.h"

namespace tapelark {

// One take kept in the take folder while a device records it: its sound
// file, locked (flock) for as long as this object lives so that no one
// offers it back while its owner is alive, and its description beside it.
// Destroying it is the normal end: both files go.
class KeptTake {
public:
    // Makes the files of a new take; null, with the reason in `whyNot`,
    // when the folder cannot be made or written.
    static std::unique_ptr<KeptTake> Start(std::string& whyNot);
    ~KeptTake();
    KeptTake(const KeptTake&) = delete;
    KeptTake& operator=(const KeptTake&) = delete;

    const std::string& Id() const { return id_; }
    // The sound file, open for reading and writing.
    int Sound() const { return fd_; }
    // Rewrites the description in one step (a crash leaves the old or the
    // new one); `startsNow` when the take begins again from nothing.
    void Describe(const WaveFormat& format, const std::string& input, bool startsNow);

private:
    KeptTake(std::string folder, std::string id, int fd);
    bool WriteDescription();

    std::string folder_, id_;
    int fd_ = -1;
    TakeDescription description_;
};

}  // namespace tapelark
