// SPDX-License-Identifier: MIT
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/WaveFile.h"

namespace tapelark {

// One channel of a saved 16-bit stereo take at 44.1 kHz, and what is heard
// in it; times in seconds, levels from 0 to 1 (full scale).
struct Take {
    static constexpr int kRate = 44100;
    std::vector<double> x;

    explicit Take(const std::string& path, int channel = 0) {
        const testing::WaveFile wave = testing::ReadWaveFile(path);
        EXPECT_EQ(wave.problem, "") << path;
        for (std::size_t i = 2 * channel; i + 1 < wave.bytes.size(); i += 4)
            x.push_back(static_cast<std::int16_t>(wave.bytes[i] | wave.bytes[i + 1] << 8) / 32768.0);
    }
    double Seconds() const { return static_cast<double>(x.size()) / kRate; }
    std::size_t At(double s) const { return std::min(x.size(), static_cast<std::size_t>(std::max(0.0, s) * kRate)); }
    // The amplitude of one frequency between two times (Goertzel).
    double Strength(double frequency, double from, double to) const {
        const double k = 2 * std::cos(2 * M_PI * frequency / kRate);
        double s1 = 0, s2 = 0;
        std::size_t a = At(from), b = At(to);
        for (std::size_t i = a; i < b; ++i) {
            double s = x[i] + k * s1 - s2;
            s2 = s1, s1 = s;
        }
        return b > a ? 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - k * s1 * s2)) / double(b - a) : 0;
    }
    double Peak(double from, double to) const {
        double peak = 0;
        for (std::size_t i = At(from); i < At(to); ++i) peak = std::max(peak, std::fabs(x[i]));
        return peak;
    }
    // When sound first comes, and when it last goes.
    static bool Loud(double v) { return std::fabs(v) >= 0.05; }
    double Onset() const { return double(std::find_if(x.begin(), x.end(), Loud) - x.begin()) / kRate; }
    double End() const { return double(x.rend() - std::find_if(x.rbegin(), x.rend(), Loud)) / kRate; }
    // The longest stretch without sound between two times.
    double LongestSilence(double from, double to) const {
        std::size_t run = 0, longest = 0;
        for (std::size_t i = At(from); i < At(to); ++i) {
            run = std::fabs(x[i]) < 0.01 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return double(longest) / kRate;
    }
};

}  // namespace tapelark
