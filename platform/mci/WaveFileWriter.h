// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

class SpoolFile;

enum class WaveContainer { Riff, Rf64 };

// RIFF sizes are 32 bits; past that the file has to be RF64.
WaveContainer ContainerFor(std::uint64_t dataBytes);

// Writes the first `dataBytes` of `spool` as a WAVE file at `path`, or at
// the file a link there points to. The file is written unnamed in the same
// folder (or, where the file system cannot, under a temporary name) and
// named only once complete, replacing an old file in one rename: the user's
// name never holds half a file. A temporary name that a save cut short left
// is removed by the next save into that folder. A read-only file is not
// replaced. 0 or an MCI error code.
std::uint32_t WriteWaveFile(const std::string& path, const WaveFormat& format, const SpoolFile& spool,
                            std::uint64_t dataBytes);

}  // namespace tapelark
