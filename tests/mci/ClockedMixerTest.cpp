// SPDX-License-Identifier: MIT
#include "platform/mci/ClockedMixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tapelark {
namespace {

// 16-bit mono, a backlog of 4 frames: small enough that every case wraps.
struct Take : CaptureTarget {
    std::vector<std::int16_t> samples;
    void Captured(const void* data, std::size_t bytes) override {
        auto* s = static_cast<const std::int16_t*>(data);
        samples.insert(samples.end(), s, s + bytes / 2);
    }
    void CaptureFailed(std::uint32_t) override {}
};

void Push(ClockedMixer& mixer, int track, std::vector<std::int16_t> samples) {
    mixer.Push(track, samples.data(), samples.size() * 2);
}

TEST(ClockedMixer, KeepsOrderAcrossTheRingAndDropsTheOldestBeyondTheBacklog) {
    ClockedMixer mixer(WaveFormat{1, 16, 8000, 2, 16000}, 4);
    Take take;
    int a = mixer.AddTrack();
    Push(mixer, a, {1, 2, 3});
    mixer.Emit(2, take);
    Push(mixer, a, {4, 5, 6});         // wraps
    Push(mixer, a, {7});               // 3..7 is one more than the backlog: 3 goes
    mixer.Emit(5, take);               // the last frame has nothing: silence
    Push(mixer, a, {8, 9, 10, 11, 12});  // more than the whole backlog at once
    mixer.Emit(4, take);
    EXPECT_EQ(take.samples, (std::vector<std::int16_t>{1, 2, 4, 5, 6, 7, 0, 9, 10, 11, 12}));
    EXPECT_EQ(mixer.Emitted(), 11u);
}

TEST(ClockedMixer, MixesTracksWithClippingAndStartsALateTrackInItsPlace) {
    ClockedMixer mixer(WaveFormat{1, 16, 8000, 2, 16000}, 4);
    Take take;
    int a = mixer.AddTrack(), b = mixer.AddTrack();
    Push(mixer, a, {30000, -30000, 5, 6});
    mixer.StartAt(b, 2);  // two frames of silence first
    Push(mixer, b, {30000, -30000});
    mixer.Close(a);  // still mixed out
    mixer.Emit(4, take);
    mixer.Emit(1, take);
    EXPECT_EQ(take.samples, (std::vector<std::int16_t>{30000, -30000, 30005, -29994, 0}));
}

}  // namespace
}  // namespace tapelark
