// SPDX-License-Identifier: MIT
// A save over an existing file, cut short by SIGKILL at instants spread from
// its start to its end: the user's name always holds a whole WAVE file, the
// old one or the new one, and what a killed save leaves beside it the next
// save removes.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/mci/MciTestSupport.h"
#include "tests/mci/ScopedEnv.h"
#include "tests/support/FileContents.h"

namespace tapelark {
namespace {

constexpr std::size_t kNewBytes = 200u << 20;  // about 20 minutes of sound
constexpr std::size_t kOldBytes = 176400;

// An engine with a take of `bytes` recorded under the alias "take".
void Record(MciEngine& engine, FakeAudioBackend& audio, std::size_t bytes) {
    if (MciCode(engine, "open new type waveaudio alias take") != 0 || MciCode(engine, "record take") != 0) ::_exit(1);
    for (std::size_t done = 0; done < bytes; done += 4u << 20) audio.Record(std::min<std::size_t>(4u << 20, bytes - done));
    if (MciCode(engine, "stop take") != 0) ::_exit(1);
}

// A child that records a long take, says 'r', saves over `path` when told
// and says 's' once saved; killed when it goes.
struct SavingChild {
    explicit SavingChild(const std::string& path) {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
        if ((pid = ::fork()) == 0) {
            auto audio = std::make_shared<FakeAudioBackend>();
            MciEngine engine{audio};
            Record(engine, *audio, kNewBytes);
            char c = 0;
            if (::write(ends[1], "r", 1) != 1 || ::read(ends[1], &c, 1) != 1) ::_exit(1);
            (void)!::write(ends[1], MciCode(engine, "save take " + path) == 0 ? "s" : "f", 1);
            ::_exit(0);
        }
        ::close(ends[1]);
        talk = ends[0];
    }
    ~SavingChild() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ::close(talk);
    }
    char Next() {
        char c = 0;
        return ::read(talk, &c, 1) == 1 ? c : 0;
    }
    void Go() { (void)!::write(talk, "g", 1); }

    pid_t pid = -1;
    int talk = -1;
};

TEST(SaveKill, TheUsersNameAlwaysHoldsAWholeFileAndTheNextSaveClearsWhatWasLeftBeside) {
    TempFolder folder;
    const std::string path = folder / "take.wav";
    {
        auto audio = std::make_shared<FakeAudioBackend>();
        MciEngine engine{audio};
        Record(engine, *audio, kOldBytes);
        ASSERT_EQ(MciCode(engine, "save take " + path), 0u);
    }
    const std::string oldFile = testing::ReadFile(path);
    ScopedEnv spool("TMPDIR", "/dev/shm");  // so the rounds spend their time saving
    TempFolder state;  // the killed children's takes, removed at the end
    ScopedEnv kept("XDG_STATE_HOME", state.path());

    std::chrono::steady_clock::duration saveTime{};  // of a whole save, here
    {
        SavingChild child(path);
        ASSERT_EQ(child.Next(), 'r');
        const auto start = std::chrono::steady_clock::now();
        child.Go();
        ASSERT_EQ(child.Next(), 's');
        saveTime = std::chrono::steady_clock::now() - start;
    }
    int oldSeen = 0, newSeen = 0;
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        testing::WriteFile(path, oldFile);
        const bool saved = round == kRounds - 1;  // killed just after the save said it was done
        {
            SavingChild child(path);
            ASSERT_EQ(child.Next(), 'r');
            child.Go();
            if (saved) ASSERT_EQ(child.Next(), 's');
            else std::this_thread::sleep_for(saveTime * round / (kRounds - 1));
        }
        const WaveFile wave = ReadWaveFile(path);
        ASSERT_EQ(wave.problem, "") << "not a whole WAVE file";
        if (wave.bytes.size() == kOldBytes) {
            ++oldSeen;
            EXPECT_EQ(testing::ReadFile(path), oldFile);
        } else {
            ++newSeen;
            ASSERT_EQ(wave.bytes.size(), kNewBytes);
            for (std::size_t i = 0; i < kNewBytes; i += 1048573) ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(i));
        }
        for (const std::string& name : folder.Names())
            EXPECT_TRUE(name == "take.wav" || (!saved && name.starts_with(".tapelark-"))) << name;
    }
    std::printf("save of %zu MB: %.3f s; kills found the old file %d times, the new one %d times\n",
                kNewBytes >> 20, std::chrono::duration<double>(saveTime).count(), oldSeen, newSeen);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

}  // namespace
}  // namespace tapelark
