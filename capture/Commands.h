// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace tapelark::commands {

inline constexpr const char* kCloseAll = "close all";
inline constexpr const char* kOpen = "open new type waveaudio alias capture";
inline constexpr const char* kRecord = "record capture";
inline constexpr const char* kStop = "stop capture";
inline constexpr const char* kPlay = "play capture from 0";
inline constexpr const char* kStatusMode = "status capture mode";
inline constexpr const char* kStatusLength = "status capture length";
inline constexpr const char* kStatusLevel = "status capture level";
inline constexpr const char* kTimeFormatMs = "set capture time format ms";
inline constexpr const char* kTimeFormatBytes = "set capture time format bytes";
inline constexpr const char* kSavePrefix = "save capture ";

// Reply fields are handed over as the multimedia system's callers always
// have: a field of blanks of a fixed length.
inline constexpr std::uint32_t kCommandField = 260;
inline constexpr std::uint32_t kStatusField = 255;

}  // namespace tapelark::commands
