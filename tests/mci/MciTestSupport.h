// SPDX-License-Identifier: MIT
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/mci/MciEngine.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaveFile.h"

namespace tapelark {

using testing::ReadWaveFile;
using testing::TempFolder;
using testing::WaveFile;

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

}  // namespace tapelark
