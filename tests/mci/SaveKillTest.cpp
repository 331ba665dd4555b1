// SPDX-License-Identifier: MIT
// A save over an existing file, cut short by SIGKILL at instants spread from
// its start to its end: the user's name must always hold a whole WAVE file,
// the old one or the new one, and nothing may be left beside it.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/mci/FakeAudioBackend.h"
#include "tests/mci/MciTestSupport.h"
#include "tests/support/FileContents.h"
#include "tests/mci/ScopedEnv.h"
#include "capture/WaveRecording.h"
#include "platform/linux/LinuxFileSystem.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kNewBytes = 200u << 20;  // about 20 minutes of sound
constexpr std::size_t kOldBytes = 176400;       // one second

void ExpectTheNewTake(const WaveFile& wave) {
    ASSERT_EQ(wave.problem, "");
    ASSERT_EQ(wave.bytes.size(), kNewBytes);
    for (std::size_t i = 0; i < kNewBytes; i += 1048573) ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(i)) << i;
}

// Records through the capture engine over the Linux engine in a child, then
// saves over `path` when told. It says 'r' once ready and 's' once saved.
class SavingChild {
public:
    explicit SavingChild(const std::string& path) {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ends[0]);  // so that the child sees the test's end
            Run(path, ends[1]);
        }
        ::close(ends[1]);
        talk_ = ends[0];
    }
    ~SavingChild() {
        Kill();
        ::close(talk_);
    }
    char Next() {
        char c = 0;
        return ::read(talk_, &c, 1) == 1 ? c : 0;
    }
    void Go() { (void)!::write(talk_, "g", 1); }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    [[noreturn]] static void Run(const std::string& path, int talk) {
        auto audio = std::make_shared<FakeAudioBackend>();
        MciEngine mci{audio};
        testing::FakeMessageBoxes messages;
        LinuxFileSystem files;
        WaveRecording capture{mci, messages, files};
        capture.BeginRecording();
        for (std::size_t done = 0; done < kNewBytes; done += 4u << 20) audio->Record(4u << 20);
        capture.StopCapture();
        char c = 0;
        if (::write(talk, "r", 1) != 1 || ::read(talk, &c, 1) != 1) ::_exit(1);
        capture.SaveCaptureAs(path);
        (void)!::write(talk, messages.shown.empty() ? "s" : "f", 1);
        ::_exit(0);
    }

    pid_t pid_ = -1;
    int talk_ = -1;
};

TEST(SaveKill, TheUsersNameAlwaysHoldsAWholeFileAndNothingIsLeftBeside) {
    TempFolder folder;
    const std::string path = folder / "take.wav";
    std::string oldFile;
    {
        auto audio = std::make_shared<FakeAudioBackend>();
        MciEngine engine{audio};
        OpenCaptureDevice(engine);
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        audio->Record(kOldBytes);
        ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
        oldFile = testing::ReadFile(path);
    }
    // The recording's spool in memory, so the rounds spend their time saving.
    ScopedEnv spool("TMPDIR", "/dev/shm");
    TempFolder state;  // the killed children's takes, removed at the end
    ScopedEnv kept("XDG_STATE_HOME", state.path());

    // Saves to the end, to know how long a save takes here.
    Clock::duration saveTime{};
    for (int i = 0; i < 2; ++i) {
        SavingChild child(path);
        ASSERT_EQ(child.Next(), 'r');
        auto start = Clock::now();
        child.Go();
        ASSERT_EQ(child.Next(), 's');
        saveTime = std::max(saveTime, Clock::now() - start);
    }
    ASSERT_EQ(ReadWaveFile(path).bytes.size(), kNewBytes);

    int oldSeen = 0, newSeen = 0;
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        testing::WriteFile(path, oldFile);
        // The last kill comes just after the save said it was done.
        bool atTheEnd = round == kRounds - 1;
        auto delay = saveTime * round / (kRounds - 1);
        SCOPED_TRACE(atTheEnd ? std::string("killed once saved")
                              : "killed " + std::to_string(std::chrono::duration<double>(delay).count()) +
                                    " s into the save");
        {
            SavingChild child(path);
            ASSERT_EQ(child.Next(), 'r');
            child.Go();
            if (atTheEnd) ASSERT_EQ(child.Next(), 's');
            else std::this_thread::sleep_for(delay);
            child.Kill();
        }
        WaveFile wave = ReadWaveFile(path);
        ASSERT_EQ(wave.problem, "") << "not a whole WAVE file";
        if (wave.bytes.size() == kOldBytes) {
            ++oldSeen;
            EXPECT_EQ(testing::ReadFile(path), oldFile);
        } else {
            ++newSeen;
            ExpectTheNewTake(wave);
        }
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"take.wav"});
    }
    std::printf("save of %zu MB: %.3f s; kills found the old file %d times, the new one %d times\n",
                kNewBytes >> 20, std::chrono::duration<double>(saveTime).count(), oldSeen, newSeen);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
}

}  // namespace
}  // namespace tapelark
