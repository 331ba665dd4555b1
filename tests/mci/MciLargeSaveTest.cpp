// SPDX-License-Identifier: MIT
// A recording past 4 GiB, which a RIFF header cannot describe.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

using MciLargeSave = MciFakeServerTest;

TEST_F(MciLargeSave, RecordingPastFourGibIsSavedAsRf64) {
    constexpr std::uint64_t kChunk = 1 << 20;
    constexpr std::uint64_t kChunks = 4200;  // 4.1 GiB
    if (std::filesystem::space(folder.path()).available < 2 * kChunks * kChunk + (1ull << 30))
        GTEST_SKIP() << "needs about 10 GB of free disk";
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    std::vector<unsigned char> chunk(kChunk);
    for (std::uint64_t k = 0; k < kChunks; ++k) {
        std::fill(chunk.begin(), chunk.end(), static_cast<unsigned char>(k * 13));
        audio->capture->Captured(chunk.data(), chunk.size());
    }
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    ASSERT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
    ASSERT_EQ(Mci(engine, "status capture length").second, std::to_string(kChunks * kChunk));

    const std::string path = folder / "long session.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    SF_INFO info{};
    SNDFILE* sf = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
    EXPECT_EQ(info.format, SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(static_cast<std::uint64_t>(info.frames), kChunks * kChunk / 4);
    // The samples on both sides of the 4 GiB mark are where they belong.
    for (std::uint64_t k : {0, 2047, 4095, 4096, int{kChunks} - 1}) {
        const sf_count_t frame = static_cast<sf_count_t>(k * kChunk / 4 + 7);
        unsigned char bytes[4];
        ASSERT_EQ(sf_seek(sf, frame, SEEK_SET), frame);
        ASSERT_EQ(sf_read_raw(sf, bytes, 4), 4);
        EXPECT_EQ(bytes[0], static_cast<unsigned char>(k * 13)) << "chunk " << k;
    }
    sf_close(sf);
}

}  // namespace
}  // namespace tapelark
