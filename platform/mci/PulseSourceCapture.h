// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/mci/AudioBackend.h"

namespace tapelark {

// Records the default source, or the source named `source` (that one or
// none: never another), on a server connection of its own. It rides out
// the server going away: the recording waits, and once the server is back
// the time it was away is kept as silence and recording goes on. Null with
// `error` set when the stream does not start.
std::unique_ptr<AudioStream> StartSourceCapture(const WaveFormat& format, const std::string& source,
                                                CaptureTarget& target, std::uint32_t& error);

}  // namespace tapelark
