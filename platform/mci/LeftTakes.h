// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

// A take in the take folder that no living program holds: its owner died
// before the take was saved or cleared.
struct LeftTake {
    std::string id;
    bool described = false;  // its description could be read
    bool hasSound = false;   // its sound file is there
    WaveFormat format;       // the description's; the program's usual one without it
    std::uint64_t soundBytes = 0;  // whole frames only: a torn last frame does not count
    std::int64_t started = 0;      // seconds since the epoch
    std::string input;

    double Seconds() const { return static_cast<double>(soundBytes) / format.bytesPerSec; }
    // Why it cannot be saved, or "" when it can.
    std::string Problem() const;
};

// The left takes, newest first. A take whose description is lost is offered
// as the usual format, started when its sound says; one without sound is
// listed with its problem and never touched.
std::vector<LeftTake> FindLeftTakes();

// Saves take `id` as a WAVE file at `path` (by the engine's own save, which
// replaces an old file in one step), then removes the take. "" or a
// one-line reason; a take whose save failed is kept.
std::string RecoverTake(const std::string& id, const std::string& path);
// Removes take `id`; "" or a one-line reason.
std::string DiscardTake(const std::string& id);

}  // namespace tapelark
