// SPDX-License-Identifier: MIT
// Saving a recording to the real file system, and each way that can fail.
#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/mci/FakeAudioBackend.h"
#include "tests/mci/MciTestSupport.h"
#include "tests/mci/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveFileWriter.h"

namespace tapelark {
namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Runs `body` in a child process and returns the codes it wrote, with the
// child's exit status; the codes stay `fill` if the child wrote none.
template <std::size_t N, class Body>
std::array<std::uint32_t, N> InChild(Body body, int& status, std::uint32_t fill = 0) {
    std::array<std::uint32_t, N> codes;
    codes.fill(fill);
    int result[2];
    if (::pipe(result) != 0) return codes;
    pid_t child = ::fork();
    if (child == 0) {
        std::array<std::uint32_t, N> mine = body();
        ::_exit(::write(result[1], mine.data(), sizeof mine) == sizeof mine ? 0 : 1);
    }
    ::close(result[1]);
    if (child > 0) {
        if (::read(result[0], codes.data(), sizeof codes) != sizeof codes) codes.fill(fill);
        ::waitpid(child, &status, 0);
    }
    ::close(result[0]);
    return codes;
}

class MciSaveTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine engine{audio};
    TempFolder folder;

    void Recorded(std::size_t bytes) {
        OpenCaptureDevice(engine);
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        audio->Record(bytes);
        ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    }
    std::uint32_t Save(const std::string& path) { return MciCode(engine, "save capture " + path); }
    void Run(std::initializer_list<std::pair<const char*, std::uint32_t>> steps) {
        for (const auto& [command, code] : steps) ASSERT_EQ(MciCode(engine, command), code) << command;
    }
    // The recording must survive any failed save: prove it by saving it.
    void ExpectRecordingKept(std::size_t bytes) {
        std::string elsewhere = folder / "elsewhere.wav";
        ASSERT_EQ(Save(elsewhere), 0u);
        EXPECT_EQ(ReadWaveFile(elsewhere).bytes.size(), bytes);
        std::remove(elsewhere.c_str());
    }
};

TEST_F(MciSaveTest, WritesAPlainPcmWaveHeader) {
    // 16-bit stereo as Tapelark sets it, and 8-bit mono, which is unsigned PCM.
    struct Case {
        const char* set;
        std::size_t bytes;
        testing::WaveFormatChunk format;
    } cases[] = {
        {"set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400", 17640,
         testing::kStereo16Bit44100},
        {"set capture channels 1 bitspersample 8 samplespersec 22050", 22051, {1, 1, 22050, 22050, 1, 8}},
    };
    std::size_t delivered = 0;  // the pattern runs on across recordings
    for (const Case& c : cases) {
        Run({{"close all", 0}, {"open new type waveaudio alias capture", 0}, {c.set, 0}, {"record capture", 0}});
        audio->Record(c.bytes);
        std::string path = folder / (std::to_string(c.bytes) + ".wav");
        ASSERT_EQ(Save(path), 0u);
        // A plain header: RIFF, a 16-byte format chunk and the data (padded to even), nothing else.
        EXPECT_EQ(std::filesystem::file_size(path), 44u + c.bytes + c.bytes % 2) << c.set;
        const WaveFile wave = ReadWaveFile(path);
        ASSERT_EQ(wave.problem, "") << c.set;
        EXPECT_EQ(wave.format, c.format) << c.set;
        ASSERT_EQ(wave.bytes.size(), c.bytes);
        EXPECT_EQ(wave.bytes[1000], FakeAudioBackend::Pattern(delivered + 1000)) << c.set;
        EXPECT_EQ(wave.bytes.back(), FakeAudioBackend::Pattern(delivered + c.bytes - 1)) << c.set;
        delivered += c.bytes;
    }
    EXPECT_EQ(audio->lastFormat, (WaveFormat{1, 8, 22050, 1, 22050}));
}

TEST_F(MciSaveTest, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode) {
    Recorded(4000);
    std::string fresh = folder / "new take.wav", replaced = folder / "old take.wav";
    WriteText(replaced, "not a wave file");
    ::chmod(replaced.c_str(), 0640);
    mode_t old = ::umask(022);
    std::uint32_t freshCode = Save(fresh), replacedCode = Save(replaced);
    ::umask(old);
    ASSERT_EQ(freshCode, 0u);
    ASSERT_EQ(replacedCode, 0u);
    EXPECT_EQ(ReadWaveFile(replaced).bytes.size(), 4000u);
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_EQ(::stat(replaced.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"new take.wav", "old take.wav"})) << "no temporary file left";
}

TEST_F(MciSaveTest, BadPathsFailWithTheirOwnCodes) {
    Recorded(4000);
    ::mkdir((folder / "sub").c_str(), 0755);
    WriteText(folder / "plain", "x");
    EXPECT_EQ(Save(folder / "missing/take.wav"), mcierr::kFolderMissing);
    EXPECT_EQ(Save(folder / "sub"), mcierr::kIsAFolder);
    EXPECT_EQ(Save(folder / "sub/"), mcierr::kIsAFolder);
    EXPECT_EQ(Save(folder / "plain/take.wav"), mcierr::kNotAFolder);
    EXPECT_EQ(Save(folder / (std::string(300, 'n') + ".wav")), mcierr::kNameTooLong);
    std::string deep = folder.path();
    while (deep.size() < 5000) deep += "/d";
    EXPECT_EQ(Save(deep + "/take.wav"), mcierr::kNameTooLong);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"plain", "sub"}));
    ExpectRecordingKept(4000);
}

TEST_F(MciSaveTest, ReadOnlyFolderIsRefused) {
    Recorded(4000);
    std::string locked = folder / "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    ::chmod(folder.path().c_str(), 0755);
    // Root may write anywhere, so the save runs as an ordinary user then.
    int status = 0;
    std::uint32_t code = InChild<1>([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
        return std::array<std::uint32_t, 1>{Save(locked + "/take.wav")};
    }, status)[0];
    EXPECT_EQ(code, mcierr::kAccessDenied);
    EXPECT_TRUE(std::filesystem::is_empty(locked));
    ExpectRecordingKept(4000);
}

TEST_F(MciSaveTest, AFailedWriteLeavesTheOldFileWhole) {
    Recorded(176400);
    std::string path = folder / "precious.wav";
    WriteText(path, "the take from yesterday");
    // The system's file size limit stops the write half way.
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 65536;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::uint32_t code = Save(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(code, mcierr::kFileTooLarge);
    EXPECT_EQ(Contents(path), "the take from yesterday");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"precious.wav"});
    ExpectRecordingKept(176400);
}

TEST_F(MciSaveTest, AFullDiskIsReportedAndCleanedUp) {
    std::string small = folder / "small";
    ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
    if (::mount("tapelark-test", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    Recorded(176400);
    WriteText(small + "/precious.wav", "keep me");
    std::uint32_t code = Save(small + "/precious.wav");
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(small)) left.push_back(e.path().filename());
    std::string kept = Contents(small + "/precious.wav");
    ::umount(small.c_str());
    EXPECT_EQ(code, mcierr::kDiskFull);
    EXPECT_EQ(left, std::vector<std::string>{"precious.wav"});
    EXPECT_EQ(kept, "keep me");
    ExpectRecordingKept(176400);
}

TEST_F(MciSaveTest, SavesFromASpoolOnAnotherFileSystem) {
    // The kernel will not copy between some file systems; the save must
    // still carry every byte across.
    struct stat shm {}, here {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(folder.path().c_str(), &here) != 0 || shm.st_dev == here.st_dev)
        GTEST_SKIP() << "no second file system for the spool";
    {
        ScopedEnv tmp("TMPDIR", "/dev/shm");
        Recorded(3 * (8 << 20) + 4000);  // several copy rounds and a remainder
    }
    ASSERT_EQ(Save(folder / "across.wav"), 0u);
    WaveFile wave = ReadWaveFile(folder / "across.wav");
    ASSERT_EQ(wave.bytes.size(), 3u * (8 << 20) + 4000);
    for (std::size_t i = 0; i < wave.bytes.size(); i += 4093) ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(i)) << i;
    EXPECT_EQ(wave.bytes.back(), FakeAudioBackend::Pattern(wave.bytes.size() - 1));
}

TEST_F(MciSaveTest, AFullSpoolStopsTheRecordingButKeepsWhatFits) {
    std::string small = folder / "spool";
    ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
    if (::mount("tapelark-test", small.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here (needs root)";
    std::uint32_t stopCode = 0;
    std::string mode;
    {
        ScopedEnv tmp("TMPDIR", small);
        OpenCaptureDevice(engine);
    }
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    for (int i = 0; i < 100 && audio->capture; ++i) audio->Record(17640);
    mode = Mci(engine, "status capture mode").second;
    stopCode = MciCode(engine, "stop capture");
    ASSERT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
    std::uint64_t kept = std::stoull(Mci(engine, "status capture length").second);
    ExpectRecordingKept(kept);
    ASSERT_EQ(MciCode(engine, "close all"), 0u);  // frees the spool before unmounting
    ::umount(small.c_str());
    EXPECT_EQ(mode, "not ready");
    EXPECT_EQ(stopCode, mcierr::kSpoolFailed);
    EXPECT_GT(kept, 100000u);
    EXPECT_LE(kept, 256u * 1024);
}

TEST_F(MciSaveTest, ANulInThePathIsRefusedAndNothingWritten) {
    Recorded(4000);
    EXPECT_EQ(Save(folder / "a.wav" + std::string(1, '\0') + ".txt"), mcierr::kNulInPath);
    EXPECT_EQ(Save(folder / std::string(1, '\0')), mcierr::kNulInPath);
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_NE(MciErrorText(mcierr::kNulInPath).find("NUL"), std::string::npos);
}

TEST_F(MciSaveTest, TheOpenFilesLimitIsNamedAsTheCause) {
    int status = 0;
    std::array<std::uint32_t, 3> codes = InChild<3>([&] {
        // Engines of the child's own, so no thread of the parent's is needed.
        auto fake = std::make_shared<FakeAudioBackend>();
        MciEngine recorded{fake};
        MciEngine pulse;  // the real sound server's backend, not yet connected
        if (MciCode(recorded, "open new type waveaudio alias a") != 0 || MciCode(recorded, "record a") != 0)
            ::_exit(1);
        fake->Record(4000);
        if (MciCode(recorded, "stop a") != 0 || MciCode(pulse, "open new type waveaudio alias p") != 0) ::_exit(1);
        struct rlimit low {64, 64};
        if (::setrlimit(RLIMIT_NOFILE, &low) != 0) ::_exit(1);
        while (::dup(0) >= 0) {
        }
        return std::array<std::uint32_t, 3>{MciCode(recorded, "open new type waveaudio alias another"),
                                            MciCode(recorded, "save a " + folder / "a.wav"),
                                            MciCode(pulse, "record p")};
    }, status);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const char* commands[] = {"open", "save", "record"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(codes[i], mcierr::kTooManyOpenFiles) << commands[i];
    EXPECT_NE(MciErrorText(mcierr::kTooManyOpenFiles).find("Too many files are open"), std::string::npos);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(MciSaveTest, WithoutUnnamedFilesASavedTemporaryNameStillLeavesNothingBehind) {
    Recorded(4000);
    std::string old = folder / "old take.wav";
    WriteText(old, "an older take");
    // Unnamed files are named through /proc: without it the save falls back
    // to a temporary name. A child hides /proc in a mount namespace of its own.
    int status = 0;
    std::array<std::uint32_t, 2> codes = InChild<2>([&] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            ::_exit(2);
        return std::array<std::uint32_t, 2>{Save(old), Save(folder / "new take.wav")};
    }, status, 1);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot hide /proc here (needs root)";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(codes[0], 0u);
    EXPECT_EQ(codes[1], 0u);
    EXPECT_EQ(ReadWaveFile(old).bytes.size(), 4000u);
    EXPECT_EQ(ReadWaveFile(folder / "new take.wav").bytes.size(), 4000u);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"new take.wav", "old take.wav"}));
}

TEST(WaveContainer, SwitchesToRf64BeforeTheRiffSizeOverflows) {
    EXPECT_EQ(ContainerFor(635'040'000), WaveContainer::Riff);  // an hour
    EXPECT_EQ(ContainerFor(0xFFFFFFFFull - 8192), WaveContainer::Riff);
    EXPECT_EQ(ContainerFor(0xFFFFFFFFull - 36), WaveContainer::Rf64);
    EXPECT_EQ(ContainerFor(std::uint64_t{5} << 30), WaveContainer::Rf64);
}

}  // namespace
}  // namespace tapelark
