// SPDX-License-Identifier: MIT
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/mci/MciEngine.h"
#include "platform/mci/MciErrors.h"
#include "tests/mci/FakeAudioBackend.h"
#include "tests/mci/SoundPlayers.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaveFile.h"

namespace tapelark {

using testing::ReadFile;
using testing::ReadWaveFile;
using testing::TempFolder;
using testing::WaveFile;
using testing::WriteFile;

// The result code and the reply of one command.
inline std::pair<std::uint32_t, std::string> Mci(MciEngine& engine, const std::string& command,
                                                 std::uintptr_t callback = 0) {
    std::string reply;
    std::uint32_t code = engine.Send(command, reply, callback);
    return {code, reply};
}

inline std::uint32_t MciCode(MciEngine& engine, const std::string& command) {
    return Mci(engine, command).first;
}

// The commands Tapelark sends to start a recording.
inline void OpenCaptureDevice(MciEngine& engine) {
    ASSERT_EQ(MciCode(engine, "close all"), 0u);
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias capture"), 0u);
    ASSERT_EQ(MciCode(engine,
                      "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 "
                      "bytespersec 176400"),
              0u);
}

// One command and what it must answer; a null reply takes any.
struct MciStep {
    std::string command;
    std::uint32_t code = 0;
    const char* reply = nullptr;
};

// The engine over a fake sound server, notifications collected in order.
// Among the steps, "> deliver N" has the server deliver N bytes of the
// pattern, and "> play out" has it take all there is to play.
class MciFakeServerTest : public ::testing::Test {
protected:
    static constexpr std::uintptr_t kWindow = 0x1234;
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine engine{audio};
    TempFolder folder;
    std::vector<std::string> notified;  // "alias result"

    MciFakeServerTest() {
        engine.SetNotifySink([this](std::uintptr_t window, const std::string& alias, MciNotify result) {
            EXPECT_EQ(window, kWindow);
            notified.push_back(alias + " " + MciNotifyName(result));
        });
    }
    std::pair<std::uint32_t, std::string> Send(const std::string& command) {
        return Mci(engine, command, kWindow);
    }
    void Run(const std::vector<MciStep>& steps) {
        for (const MciStep& s : steps) {
            if (s.command.starts_with("> ")) {
                const bool play = s.command == "> play out";
                ASSERT_TRUE(play ? audio->playback != nullptr : audio->capture != nullptr) << s.command;
                play ? (void)audio->PlayOut() : audio->Record(std::stoul(s.command.substr(10)));
                continue;
            }
            auto [code, reply] = Send(s.command);
            EXPECT_EQ(code, s.code) << s.command;
            if (s.reply) EXPECT_EQ(reply, s.reply) << s.command;
            if (code != 0) EXPECT_EQ(reply, "") << s.command << ": a failed command answers nothing";
            EXPECT_EQ(MciErrorText(code).find("Unknown MCI error"), std::string::npos) << code;
        }
    }
    std::vector<std::string> TakeNotified() { return std::exchange(notified, {}); }
    // Tapelark's capture device, with `bytes` recorded and stopped.
    void Recorded(std::size_t bytes) {
        OpenCaptureDevice(engine);
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        audio->Record(bytes);
        ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    }
    std::uint32_t Save(const std::string& path) { return MciCode(engine, "save capture " + path); }
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace tapelark
