// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

// The units a waveaudio device counts lengths and positions in.
enum class TimeFormat { Milliseconds, Bytes, Samples };

// "ms", "milliseconds", "bytes", "samples" or winmm's numbers 0, 8, 9:
// 0, or kBadTimeFormat for the formats of other device types, kBadConstant
// for any other word.
std::uint32_t ParseTimeFormat(std::string_view word, TimeFormat& format);
// As "status NAME time format" says it.
const char* TimeFormatName(TimeFormat format);

// Bytes of `wave` as a whole number in `format`; milliseconds round down.
std::uint64_t TimeFromBytes(std::uint64_t bytes, TimeFormat format, const WaveFormat& wave);
// A number in `format` as bytes of whole frames; milliseconds go up to the
// next whole frame, so a position set in ms reads back as set. 0 or
// kOutOfRange for numbers no file could reach.
std::uint32_t BytesFromTime(std::uint64_t value, TimeFormat format, const WaveFormat& wave,
                            std::uint64_t& bytes);

}  // namespace tapelark
