// SPDX-License-Identifier: MIT
#pragma once
// A RIFF WAVE file as its own bytes describe it, read and made without any
// audio library, so the same checks run on Linux and under Wine.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/FileContents.h"

namespace tapelark::testing {

struct WaveFormatChunk {
    std::uint16_t formatTag = 0, channels = 0;
    std::uint32_t samplesPerSec = 0, bytesPerSec = 0;
    std::uint16_t blockAlign = 0, bitsPerSample = 0;
    bool operator==(const WaveFormatChunk&) const = default;
};

inline constexpr WaveFormatChunk kStereo16Bit44100{1, 2, 44100, 176400, 4, 16};

struct WaveFile {
    std::string problem;  // what is wrong with the file; empty for a sound one
    WaveFormatChunk format;
    std::vector<unsigned char> bytes;  // the samples: the data chunk
};

inline WaveFile ParseWave(const std::string& file) {
    // Little-endian numbers, as the file holds them.
    const auto u16 = [&](std::size_t i) {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(file[i]) |
                                          static_cast<unsigned char>(file[i + 1]) << 8);
    };
    const auto u32 = [&](std::size_t i) { return std::uint32_t{u16(i)} | std::uint32_t{u16(i + 2)} << 16; };
    WaveFile wave;
    if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0)
        return {"no RIFF WAVE header"};
    if (u32(4) != file.size() - 8) return {"the RIFF size is not the file's"};
    bool sawFormat = false, sawData = false;
    for (std::size_t at = 12; at + 8 <= file.size();) {
        const std::string id = file.substr(at, 4);
        const std::uint32_t size = u32(at + 4);
        if (at + 8 + size > file.size()) return {"chunk " + id + " runs past the end"};
        if (id == "fmt ") {
            if (size < 16) return {"short format chunk"};
            wave.format = {u16(at + 8), u16(at + 10), u32(at + 12), u32(at + 16), u16(at + 20), u16(at + 22)};
            sawFormat = true;
        } else if (id == "data") {
            if (!sawFormat) return {"samples before the format"};
            wave.bytes.assign(&file[at + 8], &file[at + 8] + size);
            sawData = true;
        }
        at += 8 + size + (size & 1);
    }
    if (!sawFormat || !sawData) return {"no format or no data chunk"};
    if (wave.format.blockAlign == 0 || wave.bytes.size() % wave.format.blockAlign != 0)
        return {"no whole sample frames"};
    return wave;
}

inline WaveFile ReadWaveFile(const std::string& path) {
    const std::string file = ReadFile(path);
    return file.empty() ? WaveFile{"no file, or an empty one: " + path} : ParseWave(file);
}

// A PCM WAVE file's bytes around `data`. "RIFX" writes the numbers big-endian;
// the header claims `claimed` bytes of data, or as many as there are.
inline std::string WaveBytes(const WaveFormatChunk& format, const std::string& data,
                             const std::string& riff = "RIFF", std::int64_t claimed = -1) {
    const auto n = [&](std::uint32_t v, int size) {
        std::string s;
        for (int i = 0; i < size; ++i) s += char(v >> 8 * (riff == "RIFX" ? size - 1 - i : i));
        return s;
    };
    const auto size = static_cast<std::uint32_t>(claimed < 0 ? data.size() : claimed);
    return riff + n(36 + size, 4) + "WAVEfmt " + n(16, 4) + n(format.formatTag, 2) + n(format.channels, 2) +
           n(format.samplesPerSec, 4) + n(format.bytesPerSec, 4) + n(format.blockAlign, 2) +
           n(format.bitsPerSample, 2) + "data" + n(size, 4) + data;
}

}  // namespace tapelark::testing
