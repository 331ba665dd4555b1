// SPDX-License-Identifier: MIT
#include "platform/mci/WaveFormat.h"

#include "platform/mci/MciErrors.h"

namespace tapelark {

std::uint32_t CheckWaveFormat(const WaveFormat& f) {
    if (f.channels < 1 || f.channels > 2) return mcierr::kOutOfRange;
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return mcierr::kOutOfRange;
    if (f.samplesPerSec < 8000 || f.samplesPerSec > 192000) return mcierr::kOutOfRange;
    if (f.blockAlign != f.channels * f.bitsPerSample / 8) return mcierr::kFormatMismatch;
    if (f.bytesPerSec != std::uint32_t{f.blockAlign} * f.samplesPerSec) return mcierr::kFormatMismatch;
    return 0;
}

}  // namespace tapelark
