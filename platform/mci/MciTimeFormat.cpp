// SPDX-License-Identifier: MIT
#include "platform/mci/MciTimeFormat.h"

#include <string>

#include "common/AsciiText.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {

std::uint32_t ParseTimeFormat(std::string_view word, TimeFormat& format) {
    const std::string value = AsciiLowerCase(std::string(word));
    std::uint64_t number = 0;
    const bool numeric = ParseMciNumber(value, number);
    // winmm's numbers for its formats: 0 milliseconds, 8 bytes, 9 samples.
    if (value == "ms" || value == "milliseconds" || (numeric && number == 0))
        format = TimeFormat::Milliseconds;
    else if (value == "bytes" || (numeric && number == 8))
        format = TimeFormat::Bytes;
    else if (value == "samples" || (numeric && number == 9))
        format = TimeFormat::Samples;
    else if (numeric || value == "hms" || value == "msf" || value == "tmsf" || value == "frames" ||
             value == "smpte" || value == "songpointer")
        return mcierr::kBadTimeFormat;
    else
        return mcierr::kBadConstant;
    return 0;
}

const char* TimeFormatName(TimeFormat format) {
    switch (format) {
        case TimeFormat::Bytes: return "bytes";
        case TimeFormat::Samples: return "samples";
        case TimeFormat::Milliseconds: break;
    }
    return "milliseconds";
}

std::uint64_t TimeFromBytes(std::uint64_t bytes, TimeFormat format, const WaveFormat& wave) {
    switch (format) {
        case TimeFormat::Bytes: return bytes;
        case TimeFormat::Samples: return bytes / wave.blockAlign;
        case TimeFormat::Milliseconds: break;
    }
    // Split so that hours of audio cannot overflow the product.
    return bytes / wave.bytesPerSec * 1000 + bytes % wave.bytesPerSec * 1000 / wave.bytesPerSec;
}

std::uint32_t BytesFromTime(std::uint64_t value, TimeFormat format, const WaveFormat& wave,
                            std::uint64_t& bytes) {
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 50;
    if (value > kLimit) return mcierr::kOutOfRange;
    switch (format) {
        case TimeFormat::Bytes: bytes = value - value % wave.blockAlign; break;
        case TimeFormat::Samples: bytes = value * wave.blockAlign; break;
        case TimeFormat::Milliseconds:
            bytes = value / 1000 * wave.bytesPerSec +
                    (value % 1000 * wave.samplesPerSec + 999) / 1000 * wave.blockAlign;
            break;
    }
    return 0;
}

}  // namespace tapelark
