// SPDX-License-Identifier: MIT
#include "platform/mci/ClockedMixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tapelark {
namespace {

using Samples = std::vector<std::int16_t>;

// 16-bit mono with a backlog of 4 frames, so that every case goes round the ring.
struct Mixing : CaptureTarget {
    ClockedMixer mixer{WaveFormat{1, 16, 8000, 2, 16000}, 4};
    Samples take;
    void Push(int track, Samples s) { mixer.Push(track, s.data(), s.size() * 2); }
    void Captured(const void* data, std::size_t bytes) override {
        auto* s = static_cast<const std::int16_t*>(data);
        take.insert(take.end(), s, s + bytes / 2);
    }
    void CaptureFailed(std::uint32_t) override {}
};

TEST(ClockedMixer, KeepsOrderRoundTheRingDropsTheOldestBeyondTheBacklogAndMixesInPlace) {
    Mixing m;
    int a = m.mixer.AddTrack();
    m.Push(a, {1, 2, 3});
    m.mixer.Emit(2, m);
    m.Push(a, {4, 5, 6});            // round the end of the ring
    m.Push(a, {7});                  // one more than the backlog: 3 goes
    m.mixer.Emit(5, m);              // nothing for the last frame
    m.Push(a, {8, 9, 10, 11, 12});  // more than the backlog at once: 8 goes
    m.mixer.Emit(4, m);
    EXPECT_EQ(m.take, (Samples{1, 2, 4, 5, 6, 7, 0, 9, 10, 11, 12}));

    // Mixed with clipping; a track that starts late has its place in the take.
    m.take.clear();
    int b = m.mixer.AddTrack();
    m.Push(a, {30000, -30000, 5, 6});
    m.mixer.StartAt(b, m.mixer.Emitted() + 2);
    m.Push(b, {30000, -30000});
    m.mixer.Close(a);  // what it queued is still mixed
    m.mixer.Emit(5, m);
    EXPECT_EQ(m.take, (Samples{30000, -30000, 30005, -29994, 0}));
}

}  // namespace
}  // namespace tapelark
