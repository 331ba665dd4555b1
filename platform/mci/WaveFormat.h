// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

namespace tapelark {

// PCM layout of a waveaudio element; bytes are little-endian as in a WAVE file.
struct WaveFormat {
    std::uint16_t channels = 2;
    std::uint16_t bitsPerSample = 16;
    std::uint32_t samplesPerSec = 44100;
    std::uint16_t blockAlign = 4;
    std::uint32_t bytesPerSec = 176400;

    bool operator==(const WaveFormat&) const = default;
};

// 0 when the values are in range and agree with one another, else an MCI error.
std::uint32_t CheckWaveFormat(const WaveFormat& format);

}  // namespace tapelark
