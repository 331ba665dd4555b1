// SPDX-License-Identifier: MIT
// Saving a recording to the real file system, and each way that can fail.
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "capture/WaveRecording.h"
#include "platform/mci/EngineFileSaving.h"
#include "platform/mci/WaveFileWriter.h"
#include "tests/fakes/FakeMessageBoxes.h"
#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

using namespace mcierr;

// A small tmpfs at `path`, or false where this user may not mount one.
bool MountSmall(const std::string& path, const char* size) {
    ::mkdir(path.c_str(), 0755);
    return ::mount("tapelark-test", path.c_str(), "tmpfs", 0, size) == 0;
}

// Runs `body` in a child process and returns the codes it gives back (zeros
// if it ends before that); `status` is how it ended.
template <std::size_t N, class Body>
std::array<std::uint32_t, N> InChild(Body body, int& status) {
    using Codes = std::array<std::uint32_t, N>;
    auto* shared = static_cast<Codes*>(
        ::mmap(nullptr, sizeof(Codes), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    const pid_t child = ::fork();
    if (child == 0) {
        *shared = body();
        ::_exit(0);
    }
    ::waitpid(child, &status, 0);
    const Codes codes = *shared;
    ::munmap(shared, sizeof(Codes));
    return codes;
}

class MciSaveTest : public MciFakeServerTest {
protected:
    // The recording must survive any failed save: prove it by saving it.
    void ExpectRecordingKept(std::size_t bytes) {
        const std::string elsewhere = folder / "elsewhere.wav";
        ASSERT_EQ(Save(elsewhere), 0u);
        EXPECT_EQ(ReadWaveFile(elsewhere).bytes.size(), bytes);
    }
};

// What a killed save left is removed; what a live one holds, or a name of the user's, stays.
TEST_F(MciSaveTest, NewFilesFollowTheUmaskReplacedOnesKeepTheirModeAndLinksAreSavedThrough) {
    Recorded(4000);
    ::mkdir((folder / "takes").c_str(), 0755);
    for (const char* name : {"takes/old.wav", ".tapelark-1-0.part", ".tapelark-2-0.part", ".tapelark-a.part"})
        WriteFile(folder / name, "not a wave file");
    ::chmod((folder / "takes/old.wav").c_str(), 0640);
    ::symlink("takes/old.wav", (folder / "link.wav").c_str());
    ::symlink((folder / "takes/new.wav").c_str(), (folder / "dangling.wav").c_str());
    const int live = ::open((folder / ".tapelark-2-0.part").c_str(), O_RDONLY);
    ::flock(live, LOCK_EX);
    const mode_t umask = ::umask(022);
    // The rest of the line is the path, blanks and a lone quote too; wait and notify end it.
    for (const char* name : {"6\" new take.wav wait NOTIFY", "link.wav", "dangling.wav"})
        EXPECT_EQ(Save(folder / name), 0u) << name;
    ::umask(umask);
    ::close(live);
    for (const char* name : {"6\" new take.wav", "takes/old.wav", "takes/new.wav"})
        EXPECT_EQ(ReadWaveFile(folder / name).bytes.size(), 4000u) << name;
    EXPECT_EQ(std::filesystem::status(folder / "6\" new take.wav").permissions(), std::filesystem::perms(0644));
    EXPECT_EQ(std::filesystem::status(folder / "takes/old.wav").permissions(), std::filesystem::perms(0640));
    using Names = std::vector<std::string>;
    EXPECT_EQ(folder.Names(), (Names{".tapelark-2-0.part", ".tapelark-a.part", "6\" new take.wav", "dangling.wav",
                                     "link.wav", "takes"}));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.wav") && std::filesystem::is_symlink(folder / "dangling.wav"));
}

// Each fails with its own code, leaves what was there as it was and keeps the recording.
TEST_F(MciSaveTest, BadPathsAndWritesCutShortFailWithTheirOwnCodes) {
    Recorded(176400);  // more than the small disk holds
    ::chmod(folder.path().c_str(), 0755);
    ::mkdir((folder / "sub").c_str(), 0755);
    ::mkdir((folder / "read-only").c_str(), 0555);
    const bool smallDisk = MountSmall(folder / "small", "size=64k");  // needs root
    for (const char* name : {"plain", "locked.wav", "precious.wav", "small/precious.wav"})
        WriteFile(folder / name, "x");
    ::chmod((folder / "locked.wav").c_str(), 0444);  // refused as winmm refuses it, even to root
    ::symlink("locked.wav", (folder / "to locked.wav").c_str());
    ::symlink("loop.wav", (folder / "loop.wav").c_str());
    std::string deep = folder.path();
    while (deep.size() < 5000) deep += "/d";
    const std::string nul(1, '\0');
    // Root may write anywhere: a read-only folder is tried by an ordinary user.
    const auto asUser = [] { return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0); };
    const auto smallFileLimit = [] {
        const rlimit small{65536, 65536};
        return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR && ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    };
    struct Case {
        std::string path;
        std::uint32_t code;
        bool (*inChild)() = nullptr;  // the set-up of a child that saves
    } cases[] = {
        {folder / "missing/take.wav", kFolderMissing},
        {folder / "sub", kIsAFolder},
        {folder / "sub/", kIsAFolder},
        {folder / "plain/take.wav", kNotAFolder},
        {folder / (std::string(300, 'n') + ".wav"), kNameTooLong},
        {deep + "/take.wav", kNameTooLong},
        {folder / "a.wav" + nul + ".txt", kNulInPath},
        {folder / nul, kNulInPath},
        {folder / "locked.wav", kFileNotSaved},
        {folder / "to locked.wav", kFileNotSaved},
        {folder / "loop.wav", kFileWrite},
        {folder / "read-only/take.wav", kAccessDenied, asUser},
        {folder / "precious.wav", kFileTooLarge, smallFileLimit},
        {folder / "small/precious.wav", kDiskFull},
    };
    for (const Case& c : cases) {
        if (c.code == kDiskFull && !smallDisk) {
            std::printf("left out: a full disk (mounting a small file system needs root)\n");
            continue;
        }
        const auto save = [&] { return std::array<std::uint32_t, 1>{c.inChild() ? Save(c.path) : 0}; };
        int status = 0;
        EXPECT_EQ(c.inChild ? InChild<1>(save, status)[0] : Save(c.path), c.code) << c.path.substr(0, 100);
    }
    for (const char* name : {"locked.wav", "precious.wav", "small/precious.wav"})
        EXPECT_EQ(ReadFile(folder / name), "x") << name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "small"), {}), 1);
    if (smallDisk) ::umount((folder / "small").c_str());
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"locked.wav", "loop.wav", "plain", "precious.wav",
                                                        "read-only", "small", "sub", "to locked.wav"}));
    ExpectRecordingKept(176400);
}

TEST_F(MciSaveTest, AFullSpoolStopsTheRecordingButKeepsWhatFits) {
    const std::string spool = folder / "spool";
    if (!MountSmall(spool, "size=256k")) GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    {
        ScopedEnv tmp("TMPDIR", spool), kept("XDG_STATE_HOME", spool);
        OpenCaptureDevice(engine);
    }
    ASSERT_EQ(Send("record capture").first, 0u);
    for (int i = 0; i < 100 && audio->capture; ++i) audio->Record(17640);
    Run({{"status capture mode", 0, "not ready"}, {"set capture time format bytes"}});
    const std::string lengthNotReady = Send("status capture length").second;
    Run({{"stop capture", kSpoolFailed}});
    const std::uint64_t kept = std::stoull(Send("status capture length").second);
    EXPECT_EQ(lengthNotReady, std::to_string(kept)) << "while not ready the length is what is kept";
    ExpectRecordingKept(kept);
    // Opening a file into the full spool says so; nothing was recording.
    ASSERT_EQ(Save(folder / "in.wav"), 0u);
    {
        ScopedEnv tmp("TMPDIR", spool);
        EXPECT_EQ(Send("open " + (folder / "in.wav") + " alias again").first, kSpoolUnavailable);
    }
    ASSERT_EQ(Send("close all").first, 0u);  // frees the spool before unmounting
    ::umount(spool.c_str());
    EXPECT_GT(kept, 100000u);
    EXPECT_LE(kept, 256u * 1024);
}

// The file is not blamed when the process has no file handle left.
TEST_F(MciSaveTest, TheOpenFilesLimitIsNamedAsTheCause) {
    Recorded(4000);
    ASSERT_EQ(Save(folder / "a.wav"), 0u);
    const auto withNoHandleLeft = [&] {
        // The real sound server's backend, made in the child: a fork takes no thread along.
        MciEngine pulse;
        const rlimit low{64, 64};
        if (MciCode(pulse, "open new type waveaudio alias p") != 0 || ::setrlimit(RLIMIT_NOFILE, &low) != 0)
            ::_exit(1);
        while (::dup(0) >= 0) {
        }
        return std::array{MciCode(engine, "open new type waveaudio alias another"),
                          MciCode(engine, "open " + folder / "a.wav" + " alias f"), Save(folder / "b.wav"),
                          MciCode(pulse, "record p")};
    };
    int status = 0;
    const std::array<std::uint32_t, 4> codes = InChild<4>(withNoHandleLeft, status);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(codes, (std::array{kTooManyOpenFiles, kTooManyOpenFiles, kTooManyOpenFiles, kTooManyOpenFiles}))
        << "open new, open a file, save, record";
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.wav"});
}

TEST_F(MciSaveTest, WithoutUnnamedFilesASavedTemporaryNameStillLeavesNothingBehind) {
    Recorded(4000);
    const std::string old = folder / "old take.wav";
    WriteFile(old, "an older take");
    // Unnamed files are named through /proc: without it the save falls back
    // to a temporary name. A child hides /proc in a mount namespace of its own.
    const auto withoutProc = [&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            ::_exit(2);
        return std::array{Save(old), Save(folder / "new take.wav")};
    };
    int status = 0;
    const std::array<std::uint32_t, 2> codes = InChild<2>(withoutProc, status);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot hide /proc here (needs root)";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(codes, (std::array<std::uint32_t, 2>{}));
    EXPECT_EQ(ReadWaveFile(old).bytes.size(), 4000u);
    EXPECT_EQ(ReadWaveFile(folder / "new take.wav").bytes.size(), 4000u);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"new take.wav", "old take.wav"}));
}

// The capture logic over the engine, as the Linux window composes them: a
// refused save is said on standard error with the engine's reason.
TEST_F(MciSaveTest, TheCaptureLogicRecordsStopsAndSaysWhyASaveWasRefused) {
    testing::FakeMessageBoxes messages;
    EngineFileSaving saving;
    WaveRecording capture{engine, messages, saving};

    capture.BeginRecording();
    EXPECT_EQ(capture.CaptureHearsSound(), false);
    audio->Record(176400);
    EXPECT_EQ(capture.CaptureHearsSound(), true);
    capture.StopCapture();
    EXPECT_EQ(capture.CaptureModeText(), "stopped");
    EXPECT_EQ(capture.CaptureLengthText(), "Length recording  1 s ( 176400 bytes)");
    const std::string missing = folder / "missing/take.wav";
    ::testing::internal::CaptureStderr();
    capture.SaveCaptureAs(missing);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tapelark: " + missing + " was not saved: " + MciErrorText(kFolderMissing) + "\n");
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Saving file failed, file name was: " + missing});
    EXPECT_TRUE(folder.Names().empty());
}

TEST(WaveContainer, SwitchesToRf64BeforeTheRiffSizeOverflows) {
    EXPECT_EQ(ContainerFor(635'040'000), WaveContainer::Riff);  // an hour
    EXPECT_EQ(ContainerFor(0xFFFFFFFFull - 8192), WaveContainer::Riff);
    EXPECT_EQ(ContainerFor(0xFFFFFFFFull - 36), WaveContainer::Rf64);
    EXPECT_EQ(ContainerFor(std::uint64_t{5} << 30), WaveContainer::Rf64);
}

}  // namespace
}  // namespace tapelark
