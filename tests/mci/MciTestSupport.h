#pragma once
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/mci/MciEngine.h"

namespace tapelark {

// The result code and the reply of one command.
inline std::pair<std::uint32_t, std::string> Mci(MciEngine& engine, const std::string& command) {
    std::string reply;
    std::uint32_t code = engine.Send(command, reply);
    return {code, reply};
}

inline std::uint32_t MciCode(MciEngine& engine, const std::string& command) { return Mci(engine, command).first; }

// The commands Tapelark sends to start a recording.
inline void OpenCaptureDevice(MciEngine& engine) {
    ASSERT_EQ(MciCode(engine, "close all"), 0u);
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias capture"), 0u);
    ASSERT_EQ(MciCode(engine, "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 "
                              "bytespersec 176400"),
              0u);
}

// A WAVE file as libsndfile reads it, with its samples as raw bytes.
struct ReadWave {
    bool ok = false;
    SF_INFO info{};
    std::vector<unsigned char> bytes;
};

inline ReadWave ReadWaveFile(const std::string& path) {
    ReadWave w;
    SNDFILE* sf = sf_open(path.c_str(), SFM_READ, &w.info);
    if (!sf) return w;
    int width = (w.info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8 ? 1 : 2;
    w.bytes.resize(static_cast<std::size_t>(w.info.frames) * w.info.channels * width);
    w.ok = sf_read_raw(sf, w.bytes.data(), static_cast<sf_count_t>(w.bytes.size())) ==
           static_cast<sf_count_t>(w.bytes.size());
    sf_close(sf);
    return w;
}

}  // namespace tapelark
