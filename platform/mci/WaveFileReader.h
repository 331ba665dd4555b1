// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

class SpoolFile;

// Reads the WAVE file at `path` (PCM, 8 or 16 bit, 1 or 2 channels, either
// byte order) into `spool`, which it creates, as little-endian whole frames:
// a partial frame at the end is left out. Anything but a regular file is
// refused at once, without reading from it. 0 or an MCI error code made from
// the cause; on failure `format` is left alone.
std::uint32_t ReadWaveFileInto(const std::string& path, WaveFormat& format, SpoolFile& spool);

}  // namespace tapelark
