// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

// What a take's sound file alone cannot say: how to read it, when it began,
// what it heard and which process recorded it. Kept as a few lines of text
// beside the sound, so that a person can read it too.
struct TakeDescription {
    WaveFormat format;
    std::int64_t started = 0;  // seconds since the epoch
    std::string input;
    long owner = 0;  // process ID
};

std::string FormatTakeDescription(const TakeDescription& description);

// Reads what it can: unknown lines are skipped, missing ones keep their
// defaults; nothing when the format is missing or makes no sense.
std::optional<TakeDescription> ParseTakeDescription(const std::string& text);

}  // namespace tapelark
