// SPDX-License-Identifier: MIT
// The waveaudio device over time, over a fake sound server: recording,
// playing, positions, notifications and the files it reads.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

using namespace mcierr;
using Notes = std::vector<std::string>;
using MciEngineTest = MciFakeServerTest;
using testing::WaveBytes;

// Two seconds of 16-bit mono at 11025 Hz under the alias x: 44100 bytes,
// so 1000 ms are 22050 bytes.
const std::vector<MciStep> kRecordedX = {{"open new type waveaudio alias x"}, {"set x bitspersample 16"},
                                         {"record x"}, {"> deliver 44100"}, {"stop x"}};

// Files from other writers, at 8000 frames a second.
constexpr testing::WaveFormatChunk kMono16{1, 1, 8000, 16000, 2, 16}, kStereo16{1, 2, 8000, 32000, 4, 16},
    kStereo8{1, 2, 8000, 16000, 2, 8};

TEST_F(MciEngineTest, TapelarksRecordingRoundTripWithASaveWhileRecording) {
    const std::string first = folder / "first.wav", path = folder / "take one.wav";
    OpenCaptureDevice(engine);
    // A part frame does not count until it is whole.
    Run({{"record capture"}, {"> deliver 176397"}, {"status capture mode", 0, "recording"},
         {"status capture length", 0, "999"}, {"SET CAPTURE TIME FORMAT MILLISECONDS"},
         {"save capture " + first}, {"status capture mode", 0, "recording"}, {"record capture"},
         {"> deliver 3"}, {"status capture length", 0, "1000"}, {"> deliver 176800"}, {"stop capture"},
         {"status capture mode", 0, "stopped"}, {"set capture channels 1", kNonapplicableFunction},
         {"set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400"},
         {"save capture " + path}});
    EXPECT_EQ(audio->lastFormat, (WaveFormat{2, 16, 44100, 4, 176400}));
    EXPECT_EQ(audio->captureStarts, 1) << "record while recording goes on";
    EXPECT_EQ(ReadWaveFile(first).bytes.size(), 176396u) << "whole frames only";
    const WaveFile wave = ReadWaveFile(path);
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    EXPECT_TRUE(wave.bytes == FakeAudioBackend::Pattern(0, 353200)) << wave.problem;
    Run({{"record capture"}, {"close all"}});
    EXPECT_EQ(audio->capture, nullptr) << "closing must stop the capture stream";
}

TEST_F(MciEngineTest, AServerFaultKeepsWhatWasRecorded) {
    Recorded(4000);
    audio->captureStartError = kNoSoundServer;
    Run({{"record capture", kNoSoundServer}, {"status capture mode", 0, "stopped"}, {"stop capture"}});
    audio->captureStartError = 0;
    Run({{"record capture"}, {"> deliver 4000"}});
    audio->capture->CaptureFailed(kServerLost);
    // Whatever still trickles in after the fault is not kept.
    Run({{"> deliver 400"}, {"status capture mode", 0, "not ready"}, {"status capture ready", 0, "false"},
         {"status capture length", 0, "45"}, {"stop capture", kServerLost},
         {"status capture mode", 0, "stopped"}, {"save capture " + (folder / "kept.wav")}, {"record capture"},
         {"status capture mode", 0, "recording"}});
    EXPECT_EQ(ReadWaveFile(folder / "kept.wav").bytes.size(), 8000u);
    // A playback that cannot start, or breaks off, is reported.
    audio->playbackStartError = kNoOutput;
    Run({{"play capture from 0", kNoOutput}});
    audio->playbackStartError = 0;
    Run({{"play capture from 0"}});
    audio->playback->PlaybackEnded(kServerLost);
    Run({{"status capture mode", 0, "stopped"}, {"stop capture", kServerLost}, {"stop capture"}});
}

TEST_F(MciEngineTest, PlaysAndPositionsFollowPlaySeekAndDelete) {
    Run(kRecordedX);
    Run({{"play x from 0"}, {"status x mode", 0, "playing"}});
    EXPECT_TRUE(audio->PlayOut(1000) == FakeAudioBackend::Pattern(0, 44100));
    Run({{"status x mode", 0, "stopped"}});
    EXPECT_EQ(audio->playback, nullptr) << "the finished stream is released";
    Run({{"play x from 250 to 500"}});
    EXPECT_TRUE(audio->PlayOut() == FakeAudioBackend::Pattern(5514, 11026));
    Run({{"play x from 0"}, {"record x"}, {"status x mode", 0, "recording"}, {"stop x"}, {"seek x to 2000"}});
    EXPECT_EQ(audio->playback, nullptr) << "record stops the play";
    Run({{"play x notify from 500 to 1000"}, {"> play out"},  // notify may come anywhere
         {"status x position", 0, "1000"}, {"play x from 0:1 to 0:2"}, {"stop x"},  // colon fields pack bytes
         {"Seek X to 250 wait Notify"}, {"status x position notify", 0, "250"}, {"seek x to end"},
         {"status x position", 0, "2000"}, {"set x time format samples"}, {"status x length", 0, "22050"},
         {"set x time format ms"}, {"delete x from 500 to 1000"}, {"status x length", 0, "1500"},
         {"seek x to 600"}, {"delete x"}, {"status x length", 0, "600"}});  // from the position to the end
    EXPECT_EQ(TakeNotified(), (Notes{"x successful", "x successful", "x successful"}));
}

TEST_F(MciEngineTest, RecordingPausesGoesIntoTheMiddleByInsertingOrOverwritingAndWaitsForAnEnd) {
    const std::string path = folder / "mix.wav";
    // The level is the loudest 8-bit sample of the last piece; the server
    // delivers the pattern's bytes 0..1000, then 1001..1100 inserted at 400,
    // then 1101..1150 over the first 50.
    Run({{"open new type waveaudio alias x"}, {"set x time format bytes"}, {"record x"}, {"> deliver 400"},
         {"status x level", 0, "128"}, {"pause x"}, {"status x level", 0, "0"},
         {"status x mode", 0, "paused"}, {"status x length", 0, "400"}, {"record x"}, {"> deliver 300"},
         {"pause x"}, {"resume x"}, {"status x mode", 0, "recording"}, {"> deliver 301"}, {"seek x to 400"},
         {"record x"}, {"> deliver 100"}, {"stop x"}, {"status x length", 0, "1101"},
         {"status x position", 0, "500"}, {"record x from 0 overwrite"}, {"> deliver 50"}, {"stop x"},
         {"status x length", 0, "1101"}, {"save x " + path}, {"info x file", 0, path.c_str()}});
    std::vector<unsigned char> expected = FakeAudioBackend::Pattern(1101, 1151);
    for (auto [from, to] : {std::pair{50, 400}, {1001, 1101}, {400, 1001}}) {
        std::vector<unsigned char> span = FakeAudioBackend::Pattern(from, to);
        expected.insert(expected.end(), span.begin(), span.end());
    }
    // 8-bit mono is unsigned PCM; an odd number of bytes is padded to even.
    const WaveFile wave = ReadWaveFile(path);
    EXPECT_EQ(wave.format, (testing::WaveFormatChunk{1, 1, 11025, 11025, 1, 8}));
    EXPECT_EQ(wave.bytes, expected);
    EXPECT_EQ(std::filesystem::file_size(path), 44u + 1101 + 1) << "a plain header and nothing else";
    std::thread server([this] {
        // The server delivers once the stream runs, more than asked for.
        if (Eventually([this] { return audio->capture != nullptr; }, 1)) audio->Record(3000);
    });
    Run({{"seek x to end"}, {"record x to 2000 wait notify"}});
    server.join();
    Run({{"status x length", 0, "2000"}, {"status x position", 0, "2000"}, {"status x mode", 0, "stopped"}});
    EXPECT_EQ(TakeNotified(), Notes{"x successful"});
}

TEST_F(MciEngineTest, AWaveFileRoundTrip) {
    // 8 kHz 16-bit stereo from another writer.
    const std::string path = folder / "take.wav", tabbed = folder / "a\ttab.wav";
    std::vector<unsigned char> expected = FakeAudioBackend::Pattern(0, 32000);
    WriteFile(path, WaveBytes(kStereo16, std::string(expected.begin(), expected.end())));
    // Named in a command, the file opens for it alone and closes when idle.
    Run({{"status " + path + " length", 0, "1000"}, {"sysinfo waveaudio quantity open", 0, "0"},
         {"play " + path}, {"status " + path + " mode notify", kNotifyOnAutoOpen},
         {"sysinfo waveaudio name 1 open", 0, path.c_str()}, {"> play out"},
         {"sysinfo waveaudio quantity open", 0, "0"}, {"open nosuchdevice!" + path, kInvalidDeviceName},
         {"open " + path + " type waveaudio alias f notify", 0, "1"}, {"status f channels", 0, "2"},
         {"status f samplespersec", 0, "8000"}, {"info f file", 0, path.c_str()}, {"play f"}});
    EXPECT_EQ(audio->PlayOut(), expected);
    // Recording appends at the end; a path with a tab is whole in quotes.
    Run({{"status f position", 0, "1000"}, {"record f"}, {"> deliver 3200"}, {"stop f"},
         {"status f length", 0, "1100"}, {"save f"}, {"save f \"" + tabbed + "\" wait"}, {"close f"}});
    const std::vector<unsigned char> recorded = FakeAudioBackend::Pattern(0, 3200);
    expected.insert(expected.end(), recorded.begin(), recorded.end());
    const WaveFile saved = ReadWaveFile(path);
    EXPECT_EQ(saved.format, kStereo16);
    EXPECT_EQ(saved.bytes, expected);
    EXPECT_EQ(ReadWaveFile(tabbed).bytes, expected);
    EXPECT_EQ(TakeNotified(), Notes{"f successful"});
}

TEST_F(MciEngineTest, HostileFilesAreReadRightOrRefusedAtOnce) {
    WriteFile(folder / "rifx.wav", WaveBytes(kMono16, "\x01\x02\x03\x04", "RIFX"));
    WriteFile(folder / "odd.wav", WaveBytes(kMono16, std::string("\x01\x02\x03\x04\x05\0", 6), "RIFF", 5));
    WriteFile(folder / "midframe.wav", WaveBytes(kStereo16, "abcdef"));
    WriteFile(folder / "cut short.wav", WaveBytes(kStereo8, "abc", "RIFF", 4000));
    WriteFile(folder / "notes.wav", "not a wave file");
    ASSERT_EQ(::mkfifo((folder / "fifo.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(folder / "folder.wav");
    std::filesystem::create_symlink("/dev/zero", folder / "zero.wav");
    std::filesystem::create_symlink(folder / "loop.wav", folder / "loop.wav");
    struct Case {
        std::string name;
        std::uint32_t code;
        std::string heard;  // what plays once open: little-endian whole frames
    } cases[] = {
        {"rifx.wav", 0, "\x02\x01\x04\x03"}, {"odd.wav", 0, "\x01\x02\x03\x04"}, {"midframe.wav", 0, "abcd"},
        {"cut short.wav", 0, "ab"}, {"notes.wav", kInvalidFile}, {"fifo.wav", kNotARegularFile},
        {"folder.wav", kIsAFolder}, {"zero.wav", kNotARegularFile}, {"loop.wav", kLinkLoop},
        {"missing.wav", kFileNotFound}, {std::string("nul\0.wav", 8), kNulInPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Send("open \"" + (folder / c.name) + "\" alias f").first, c.code);
        if (c.code != 0) continue;
        Run({{"play f"}});
        const std::vector<unsigned char> played = audio->PlayOut();
        EXPECT_EQ(std::string(played.begin(), played.end()), c.heard);
        Run({{"close f"}});
    }
}

// A file that shrinks while it is read is an error, never a success with part of its sound.
TEST_F(MciEngineTest, AFileThatShrinksWhileItIsReadIsAnError) {
    const std::string path = folder / "shrinks.wav", data(64u << 20, '\x11');  // still being read when cut
    WriteFile(path, WaveBytes(kStereo16, data));
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, path.c_str(), IN_ACCESS), 0);
    std::thread cut([&] {
        // Past the header's reads, into the samples.
        char events[4096];
        pollfd ready{watch, POLLIN, 0};
        for (int reads = 0; reads < 8 && ::poll(&ready, 1, 5000) > 0;)
            reads += ::read(watch, events, sizeof events) > 0;
        EXPECT_EQ(::truncate(path.c_str(), 1 << 20), 0);
    });
    EXPECT_EQ(Send("open \"" + path + "\" alias f").first, kFileRead);
    cut.join();
    ::close(watch);
}

// What a command does to a running play or record and its pending
// notification; one that fails its checks changes nothing at all.
TEST_F(MciEngineTest, CommandsOverARunningPlayOrRecord) {
    Run(kRecordedX);
    const char *const playing = "play x from 0 notify", *const recording = "record x notify";
    struct Case {
        std::vector<const char*> before;  // bring the device into the state
        const char* command;
        std::uint32_t code;
        Notes notified;    // by the state's commands and this one
        const char* mode;  // after it; for a failure, the state as it was
    } cases[] = {
        {{playing}, "stop x", 0, {"x aborted"}, "stopped"},
        {{playing}, "seek x to start", 0, {"x aborted"}, "stopped"},
        {{playing}, "play x from 0 notify", 0, {"x superseded"}, "playing"},
        {{playing}, "play x from 100", 0, {"x aborted"}, "playing"},
        {{playing}, "status x mode notify", 0, {"x superseded", "x successful"}, "playing"},
        {{playing}, "pause x wait", 0, {}, "paused"},
        {{playing, "pause x notify"}, "resume x notify", 0, {"x superseded", "x successful", "x successful"},
         "playing"},
        {{recording}, "stop x", 0, {"x aborted"}, "stopped"},
        {{playing}, "close x", 0, {"x aborted"}, nullptr},
        {{recording}, "play x from 99999", kOutOfRange}, {{recording}, "play x to 99999", kOutOfRange},
        {{recording}, "seek x to 99999", kOutOfRange}, {{recording}, "record x from 99999", kOutOfRange},
        {{recording}, "record x to 1000", kOutOfRange},
        {{recording}, "play x from 0 loudly", kUnrecognizedKeyword},
        {{recording}, "delete x from 0 to 500", kNonapplicableFunction},
        {{recording}, "set x channels 2", kNonapplicableFunction}, {{playing}, "seek x to 99999", kOutOfRange},
        {{playing}, "play x from 500 to 100", kOutOfRange}, {{playing}, "cue x", kNonapplicableFunction},
        {{playing}, "record x insert overwrite", kFlagsNotCompatible},
        {{playing, "pause x"}, "stop x", 0, {"x aborted"}, "stopped"},
        {{playing, "pause x"}, "play x from 100", 0, {"x aborted"}, "playing"},
        {{playing, "pause x"}, "play x from 99999", kOutOfRange},
        {{playing, "pause x"}, "seek x to start to end", kFlagsNotCompatible},
        {{"seek x to 1000"}, "play x to 500 notify", kOutOfRange},  // behind the position
        {{}, "resume x notify", kNonapplicableFunction}, {{}, "delete x from 0 to 2001", kOutOfRange},
    };
    const auto state = [&] {
        return Send("status x mode").second + " " + Send("status x length").second + " " +
               Send("status x position").second;
    };
    // A stream the server can hold through a pause, and one that has to end.
    for (const bool pauses : {true, false})
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + (pauses ? "" : ", the stream ended at a pause"));
        audio->playbackPauses = pauses;
        for (const char* command : c.before) EXPECT_EQ(Send(command).first, 0u) << command;
        const std::string before = state();
        EXPECT_EQ(Send(c.command).first, c.code);
        if (c.code != 0) EXPECT_EQ(state(), before);
        else if (c.mode) EXPECT_EQ(Send("status x mode").second, c.mode);
        EXPECT_EQ(TakeNotified(), c.notified) << "a failure keeps the pending notification";
        if (!c.mode && c.code == 0) Run(kRecordedX);
        Run({{"stop x"}, {"seek x to end"}});
        TakeNotified();
    }
}

}  // namespace
}  // namespace tapelark
