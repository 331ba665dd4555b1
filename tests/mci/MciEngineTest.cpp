// SPDX-License-Identifier: MIT
// The waveaudio device over time, over a fake sound server: recording,
// playing, positions and notifications.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

using namespace mcierr;

class MciEngineTest : public MciFakeServerTest {
protected:
    // Two seconds of 16-bit mono at 11025 Hz under the alias x: 44100 bytes,
    // so 1000 ms are 22050 bytes.
    void RecordedX() {
        Run({{"open new type waveaudio alias x", 0}, {"set x bitspersample 16", 0}, {"record x", 0}});
        audio->Record(44100);
        Run({{"stop x", 0}});
    }
};

TEST_F(MciEngineTest, TapelarksRecordingRoundTripWithASaveWhileRecording) {
    OpenCaptureDevice(engine);
    ASSERT_EQ(Send("record capture").first, 0u);
    EXPECT_EQ(audio->lastFormat, (WaveFormat{2, 16, 44100, 4, 176400}));
    audio->Record(176400 - 3);  // a part frame does not count until it is whole
    const std::string first = folder / "first.wav", path = folder / "take one.wav";
    Run({{"status capture mode", 0, "recording"},
         {"status capture length", 0, "999"},
         {"set capture time format samples", 0},
         {"status capture length", 0, "44099"},
         {"SET CAPTURE TIME FORMAT MILLISECONDS", 0},
         {"save capture " + first, 0},
         {"status capture mode", 0, "recording"},
         {"set capture channels 1", kNonapplicableFunction}});
    audio->Record(3);
    Run({{"status capture length", 0, "1000"}});
    audio->Record(176400 + 400);
    Run({{"stop capture", 0},
         {"status capture mode", 0, "stopped"},
         {"set capture channels 1", kNonapplicableFunction},
         {"set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400", 0},
         {"save capture " + path, 0}});
    EXPECT_EQ(audio->capture, nullptr);
    EXPECT_EQ(ReadWaveFile(first).bytes.size(), 176396u) << "whole frames only";
    WaveFile wave = ReadWaveFile(path);
    ASSERT_EQ(wave.problem, "");
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    ASSERT_EQ(wave.bytes.size(), 353200u);
    for (std::size_t i = 0; i < wave.bytes.size(); ++i)
        ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(i)) << "byte " << i;
}

TEST_F(MciEngineTest, RecordAgainAppendsAndCloseAllReleasesEverything) {
    Recorded(800);
    Run({{"record capture", 0}, {"record capture", 0}});  // repeats are harmless
    EXPECT_EQ(audio->captureStarts, 2);
    audio->Record(800);
    Run({{"set capture time format bytes", 0}, {"status capture length", 0, "1600"}, {"close all", 0}});
    EXPECT_EQ(audio->capture, nullptr) << "closing must stop the capture stream";
    OpenCaptureDevice(engine);
    Run({{"status capture length", 0, "0"}, {"close capture", 0}, {"close capture", kInvalidDeviceName}});
}

TEST_F(MciEngineTest, AServerFaultKeepsWhatWasRecorded) {
    Recorded(4000);
    audio->captureStartError = kNoSoundServer;
    Run({{"record capture", kNoSoundServer}, {"status capture mode", 0, "stopped"}});
    audio->captureStartError = 0;
    ASSERT_EQ(Send("record capture").first, 0u);
    audio->Record(4000);
    audio->capture->CaptureFailed(kServerLost);
    audio->Record(400);  // whatever still trickles in after the fault is not kept
    Run({{"status capture mode", 0, "not ready"},
         {"status capture ready", 0, "false"},
         {"stop capture", kServerLost},
         {"status capture mode", 0, "stopped"},
         {"save capture " + (folder / "kept.wav"), 0},
         {"record capture", 0},  // recording goes on once the server is back
         {"status capture mode", 0, "recording"}});
    EXPECT_EQ(ReadWaveFile(folder / "kept.wav").bytes.size(), 8000u);
}

TEST_F(MciEngineTest, PlaysTheRecordingAndEndsByItself) {
    OpenCaptureDevice(engine);
    ASSERT_EQ(Send("record capture").first, 0u);
    audio->Record(176400);
    Run({{"play capture from 0", 0}, {"status capture mode", 0, "playing"}});  // play stops the recording
    EXPECT_EQ(audio->capture, nullptr);
    std::vector<unsigned char> played = audio->PlayOut(1000);
    ASSERT_EQ(played.size(), 176400u);
    for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], FakeAudioBackend::Pattern(i));
    EXPECT_EQ(Send("status capture mode").second, "stopped");
    EXPECT_EQ(audio->playback, nullptr) << "the finished stream is released";

    ASSERT_EQ(Send("play capture from 250 to 500").first, 0u);
    played = audio->PlayOut();
    ASSERT_EQ(played.size(), 44100u);
    EXPECT_EQ(played[0], FakeAudioBackend::Pattern(44100));
    Run({{"play capture from 1001", kOutOfRange}, {"play capture from 0", 0}, {"stop capture", 0}});
    EXPECT_EQ(audio->playback, nullptr);
    Run({{"play capture from 0", 0}, {"record capture", 0}, {"status capture mode", 0, "recording"}});
    EXPECT_EQ(audio->playback, nullptr);

    // A playback that cannot start, or breaks off, is reported.
    ASSERT_EQ(Send("stop capture").first, 0u);
    audio->playbackStartError = kNoOutput;
    Run({{"play capture from 0", kNoOutput}});
    audio->playbackStartError = 0;
    ASSERT_EQ(Send("play capture from 0").first, 0u);
    audio->playback->PlaybackEnded(kServerLost);
    Run({{"status capture mode", 0, "stopped"}, {"stop capture", kServerLost}, {"stop capture", 0}});
}

TEST_F(MciEngineTest, PositionsFollowPlaySeekAndDelete) {
    RecordedX();
    Run({
        {"status x position", 0, "2000"},
        {"status x length", 0, "2000"},
        {"play x from 500 to 1000 notify", 0, ""},
    });
    audio->PlayOut();
    Run({
        {"status x position", 0, "1000"},
        {"status x mode", 0, "stopped"},
        {"play x to 500", kOutOfRange, ""},  // behind the position
        {"play x to 3000 notify", kOutOfRange, ""},
        {"play x from 250 to 0", kOutOfRange, ""},
        {"play x from 0:1 to 0:2", 0, ""},  // colon notation packs bytes: 256 to 512 ms
        {"stop x", 0, ""},
        {"Seek X to 250 wait Notify", 0, ""},
        {"status x position notify", 0, "250"},
        {"seek x to end", 0, ""},
        {"status x position", 0, "2000"},
        {"set x time format samples", 0, ""},
        {"status x length", 0, "22050"},
        {"set x time format ms", 0, ""},
        {"delete x from 500 to 1000", 0, ""},
        {"status x length", 0, "1500"},
        {"seek x to 600", 0, ""},
        {"delete x", 0, ""},  // from the position to the end
        {"status x length", 0, "600"},
        {"delete x from 0 to 700", kOutOfRange, ""},
    });
    EXPECT_EQ(TakeNotified(), (std::vector<std::string>{"x successful", "x successful", "x successful"}));
}

TEST_F(MciEngineTest, PendingNotificationsAreSupersededOrAborted) {
    RecordedX();
    struct Case {
        std::vector<const char*> commands;  // the first starts playing with notify
        std::vector<std::string> notified;
        const char* mode;
    } cases[] = {
        {{"play x from 0 notify", "stop x"}, {"x aborted"}, "stopped"},
        {{"play x from 0 notify", "seek x to start"}, {"x aborted"}, "stopped"},
        {{"play x from 0 notify", "play x from 0 notify"}, {"x superseded"}, "playing"},
        {{"play x from 0 notify", "play x from 100"}, {"x aborted"}, "playing"},
        {{"play x from 0 notify", "status x mode notify"}, {"x superseded", "x successful"}, "playing"},
        {{"play x from 0 notify", "pause x wait"}, {}, "paused"},
        {{"play x from 0 notify", "pause x notify", "resume x notify"},
         {"x superseded", "x successful", "x successful"},
         "playing"},
        {{"record x notify", "stop x"}, {"x aborted"}, "stopped"},
        {{"play x from 0 notify", "close x"}, {"x aborted"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commands.back());
        for (const char* command : c.commands) EXPECT_EQ(Send(command).first, 0u) << command;
        if (c.mode) EXPECT_EQ(Send("status x mode").second, c.mode);
        EXPECT_EQ(TakeNotified(), c.notified);
        Send("stop x");
        TakeNotified();
        if (!c.mode) RecordedX();
    }
    // Played out to the end: successful.
    ASSERT_EQ(Send("play x from 0 notify").first, 0u);
    audio->PlayOut();
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"x successful"});
    // A paused play goes on where it stopped when resumed.
    ASSERT_EQ(Send("play x from 0 to 1000 notify").first, 0u);
    std::vector<unsigned char> chunk(4410);
    audio->playback->Fill(chunk.data(), chunk.size());
    Run({{"pause x", 0}, {"status x position", 0, "200"}, {"resume x", 0}});
    EXPECT_EQ(audio->PlayOut().size(), 22050u - 4410u);
    EXPECT_EQ(Send("status x position").second, "1000");
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"x successful"});
}

TEST_F(MciEngineTest, RecordToAnEndWaitsAndNotifies) {
    Run({{"open new type waveaudio alias x", 0, "1"}, {"set x time format bytes", 0, ""}});
    std::thread server([this] {
        // The server delivers once the stream runs, more than asked for.
        for (int i = 0; i < 500 && !audio->capture; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (audio->capture) audio->Record(3000);
    });
    EXPECT_EQ(Send("record x to 2000 wait notify").first, 0u);
    server.join();
    Run({{"status x length", 0, "2000"}, {"status x position", 0, "2000"}, {"status x mode", 0, "stopped"}});
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"x successful"});
}

TEST_F(MciEngineTest, APausedRecordingGoesOnWhenResumed) {
    Run({{"open new type waveaudio alias x", 0, "1"}, {"set x time format bytes", 0, ""}, {"record x", 0, ""}});
    audio->Record(1000);
    Run({{"status x level", 0, "128"},  // the loudest 8-bit sample of the last piece
         {"pause x", 0, ""},
         {"status x level", 0, "0"},
         {"status x mode", 0, "paused"},
         {"status x length", 0, "1000"},
         {"record x", 0, ""}});
    audio->Record(500);
    Run({{"pause x", 0, ""}, {"resume x", 0, ""}, {"status x mode", 0, "recording"}});
    audio->Record(100);
    Run({{"stop x", 0, ""}, {"status x length", 0, "1600"}, {"resume x", kNonapplicableFunction, ""}});
}

TEST_F(MciEngineTest, RecordsIntoTheMiddleByInsertingOrOverwriting) {
    Run({{"open new type waveaudio alias x", 0, "1"}, {"set x time format bytes", 0, ""}, {"record x", 0, ""}});
    audio->Record(1000);  // pattern bytes 0..999
    Run({{"seek x to 400", 0, ""}, {"record x", 0, ""}});
    audio->Record(100);  // 1000..1099, inserted at 400
    Run({{"stop x", 0, ""},
         {"status x length", 0, "1100"},
         {"status x position", 0, "500"},
         {"record x from 0 overwrite", 0, ""}});
    audio->Record(50);  // 1100..1149 over the first 50
    const std::string path = folder / "mix.wav";
    Run({{"stop x", 0, ""}, {"status x length", 0, "1100"}, {"save x " + path, 0}, {"info x file", 0, path.c_str()}});
    std::vector<unsigned char> expected;
    auto span = [&](int from, int to) {
        for (int i = from; i < to; ++i) expected.push_back(FakeAudioBackend::Pattern(i));
    };
    span(1100, 1150), span(50, 400), span(1000, 1100), span(400, 1000);
    EXPECT_EQ(ReadWaveFile(path).bytes, expected);
}

TEST_F(MciEngineTest, AWaveFileRoundTrip) {
    // 8 kHz 16-bit stereo from another writer, each frame numbered.
    const std::string path = folder / "take.wav";
    SF_INFO info{0, 8000, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(sf, nullptr);
    std::vector<short> frames(2 * 8000);
    for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<short>(i * 3);
    ASSERT_EQ(sf_write_short(sf, frames.data(), static_cast<sf_count_t>(frames.size())), 16000);
    sf_close(sf);
    const std::vector<unsigned char> original = ReadWaveFile(path).bytes;
    ASSERT_EQ(original.size(), 32000u);

    // Named in a command, the file opens for it alone and closes when idle.
    Run({{"status " + path + " length", 0, "1000"},
         {"sysinfo waveaudio quantity open", 0, "0"},
         {"play " + path, 0, ""},
         {"status " + path + " mode notify", kNotifyOnAutoOpen, ""},
         {"sysinfo waveaudio name 1 open", 0, path.c_str()}});
    audio->PlayOut();
    Run({{"sysinfo waveaudio quantity open", 0, "0"},
         {"open nosuchdevice!" + path, kInvalidDeviceName, ""},
         {"open " + path + " type waveaudio alias f notify", 0, "1"},
         {"status f channels", 0, "2"},
         {"status f samplespersec", 0, "8000"},
         {"status f length", 0, "1000"},
         {"info f file", 0, path.c_str()},
         {"play f", 0, ""}});
    EXPECT_EQ(audio->PlayOut(), original);
    Run({{"status f position", 0, "1000"}, {"record f", 0, ""}});  // appends at the end
    audio->Record(3200);
    Run({{"stop f", 0, ""}, {"status f length", 0, "1100"}, {"save f", 0, ""}, {"close f", 0, ""}});
    std::vector<unsigned char> expected = original;
    for (int i = 0; i < 3200; ++i) expected.push_back(FakeAudioBackend::Pattern(i));
    const WaveFile saved = ReadWaveFile(path);
    EXPECT_EQ(saved.format, (testing::WaveFormatChunk{1, 2, 8000, 32000, 4, 16}));
    EXPECT_EQ(saved.bytes, expected);
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"f successful"});

    const std::string text = folder / "notes.wav";
    std::ofstream(text) << "not a wave file";
    EXPECT_EQ(Send("open " + text).first, kInvalidFile);
}

}  // namespace
}  // namespace tapelark
