#pragma once
#include <cstdint>
#include <string>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

class SpoolFile;

enum class WaveContainer { Riff, Rf64 };

// RIFF sizes are 32 bits; past that the file has to be RF64.
WaveContainer ContainerFor(std::uint64_t dataBytes);

// Writes the first `dataBytes` of `spool` as a WAVE file at `path`. The file
// is written under a temporary name in the same folder and renamed into
// place, so the user's name never holds half a file. 0 or an MCI error code.
std::uint32_t WriteWaveFile(const std::string& path, const WaveFormat& format, const SpoolFile& spool,
                            std::uint64_t dataBytes);

}  // namespace tapelark
