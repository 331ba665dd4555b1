// SPDX-License-Identifier: MIT
// A save over an existing file, cut short by SIGKILL at instants spread from
// its start to its end: the user's name always holds a whole WAVE file, the
// old one or the new one.
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

constexpr std::size_t kNewBytes = (200u << 20) + 4000;  // 20 minutes: copy rounds and a remainder
constexpr std::size_t kOldBytes = 176400;

using SaveKill = MciFakeServerTest;

TEST_F(SaveKill, TheUsersNameAlwaysHoldsAWholeFile) {
    const std::string path = folder / "take.wav";
    Recorded(kOldBytes);
    ASSERT_EQ(Save(path), 0u);
    const std::string oldFile = ReadFile(path);
    // The take in memory, kept in a folder of its own: the rounds spend their
    // time saving, and each save carries it across to another file system.
    ScopedEnv spool("TMPDIR", "/dev/shm");
    const TempFolder memory;
    ScopedEnv kept("XDG_STATE_HOME", memory.path());
    Recorded(kNewBytes);
    // A child saves the take over the old file; killed after `killAfter` unless it is null.
    const auto saveInChild = [&](std::optional<Clock::duration> killAfter) {
        WriteFile(path, oldFile);
        const pid_t child = ::fork();
        if (child == 0) ::_exit(Save(path) == 0 ? 0 : 1);
        if (killAfter) {
            std::this_thread::sleep_for(*killAfter);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return status;
    };
    const auto start = Clock::now();
    ASSERT_EQ(saveInChild(std::nullopt), 0);
    const auto saveTime = Clock::now() - start;  // of a whole save, here
    int oldSeen = 0, newSeen = 0;
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        if (round < kRounds - 1)
            saveInChild(saveTime * round / (kRounds - 1));
        else
            ASSERT_EQ(saveInChild(std::nullopt), 0);  // the last one not killed
        const WaveFile wave = ReadWaveFile(path);
        ASSERT_EQ(wave.problem, "") << "not a whole WAVE file";
        if (wave.bytes.size() == kOldBytes) {
            ++oldSeen;
            EXPECT_EQ(ReadFile(path), oldFile);
        } else {
            ++newSeen;
            ASSERT_EQ(wave.bytes.size(), kNewBytes);
            for (std::size_t i = 0; i < kNewBytes; i += 1048583)  // the last in the remainder
                ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(kOldBytes + i));
        }
        for (const std::string& name : folder.Names())
            EXPECT_TRUE(name == "take.wav" || name.starts_with(".tapelark-")) << name;
    }
    std::printf("save of %zu MB: %.3f s; kills found the old file %d times, the new one %d times\n",
                kNewBytes >> 20, std::chrono::duration<double>(saveTime).count(), oldSeen, newSeen);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

}  // namespace
}  // namespace tapelark
