// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <memory>

#include "platform/mci/AudioBackend.h"

namespace tapelark {

// Records what the default output plays (input Output): every output is
// listened to and the default one's sound taken, so a change of output is
// heard at once. Or only what the programs whose executable name ends with
// the input's text play (input Application), through a monitor of each of
// their streams, followed as they come, go and move. The take keeps time with the wall clock: silence
// while nothing is heard, several streams mixed. It has a server connection
// of its own and rides out the server going away, recording silence until it
// is back. Null with `error` set when no server answers at the start.
std::unique_ptr<AudioStream> StartMonitorCapture(const WaveFormat& format, const CaptureInput& input,
                                                 CaptureTarget& target, std::uint32_t& error);

}  // namespace tapelark
