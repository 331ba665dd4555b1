// SPDX-License-Identifier: MIT
// The commands a script written from the platform's MCI documentation sends,
// answered as winmm answers them, over a fake sound server.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/mci/FakeAudioBackend.h"
#include "tests/mci/MciTestSupport.h"
#include "tests/support/TempFolder.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {
namespace {

constexpr std::uintptr_t kWindow = 0x1234;

struct Step {
    std::string command;
    std::uint32_t code;
    const char* reply;  // nullptr: any
};

class MciWinmmTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine engine{audio};
    TempFolder folder;
    std::vector<std::string> notified;  // "alias result", in order

    MciWinmmTest() {
        engine.SetNotifySink([this](std::uintptr_t window, const std::string& alias, MciNotify result) {
            EXPECT_EQ(window, kWindow);
            notified.push_back(alias + " " + MciNotifyName(result));
        });
    }
    std::pair<std::uint32_t, std::string> Send(const std::string& command) {
        std::string reply;
        std::uint32_t code = engine.Send(command, reply, kWindow);
        return {code, reply};
    }
    void Run(const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            auto [code, reply] = Send(s.command);
            EXPECT_EQ(code, s.code) << s.command;
            if (s.reply) EXPECT_EQ(reply, s.reply) << s.command;
        }
    }
    std::vector<std::string> TakeNotified() { return std::exchange(notified, {}); }
    // Two seconds of 16-bit mono at 11025 Hz: 44100 bytes, 1000 ms = 22050 bytes.
    void Recorded(const std::string& alias) {
        Run({{"open new type waveaudio alias " + alias, 0, nullptr}, {"set " + alias + " bitspersample 16", 0, ""},
             {"record " + alias, 0, ""}});
        audio->Record(44100);
        Run({{"stop " + alias, 0, ""}});
    }
};

TEST_F(MciWinmmTest, CodesAndRepliesOfANewElement) {
    Run({
        {"open new", mcierr::kNewRequiresAlias, ""},
        {"open new type waveaudio", mcierr::kNewRequiresAlias, ""},
        {"open new alias x", mcierr::kDeviceTypeRequired, ""},
        {"open new type waveaudio alias r shareable", mcierr::kUnsupportedFunction, ""},
        {"open new type waveaudio alias x buffer 4 wait", 0, "1"},
        {"open new type waveaudio alias y", 0, "2"},
        {"status x samplespersec", 0, "11025"},
        {"status x bitspersample", 0, "8"},
        {"status x channels", 0, "1"},
        {"status x time format", 0, "milliseconds"},
        {"set x time format ms time format bytes", mcierr::kFlagsNotCompatible, ""},
        {"set x time format 8", 0, ""},
        {"status x time format", 0, "bytes"},
        {"set x time format 9", 0, ""},
        {"status x time format", 0, "samples"},
        {"set x time format 5", mcierr::kBadTimeFormat, ""},
        {"set x time format smpte 25", mcierr::kBadTimeFormat, ""},
        {"set x time format fortnights", mcierr::kBadConstant, ""},
        {"set x format tag 2", mcierr::kOutOfRange, ""},
        {"set x format tag pcm", 0, ""},
        {"set x bitspersample 4", mcierr::kOutOfRange, ""},
        {"set x door open", mcierr::kUnsupportedFunction, ""},
        {"info x file", mcierr::kNonapplicableFunction, ""},
        {"info x", mcierr::kMissingParameter, ""},
        {"capability x device type", 0, "waveaudio"},
        {"capability x has video", 0, "false"},
        {"capability x uses files", 0, "true"},
        {"capability x can record", 0, "true"},
        {"capability waveaudio outputs", 0, "1"},
        {"status x number of tracks", 0, "1"},
        {"status x current track", 0, "1"},
        {"status x media present", 0, "true"},
        {"status x start position", 0, "0"},
        {"status x position track 2", mcierr::kOutOfRange, ""},
        {"sysinfo all quantity", 0, "1"},
        {"sysinfo waveaudio quantity open", 0, "2"},
        {"sysinfo waveaudio name 2 open", 0, "y"},
        {"sysinfo waveaudio name 3 open", mcierr::kOutOfRange, ""},
        {"sysinfo all name 1", 0, "waveaudio"},
        {"sysinfo waveaudio installname", 0, "waveaudio"},
        {"sysinfo x quantity open", mcierr::kDeviceTypeRequired, ""},
        {"pause x", mcierr::kNonapplicableFunction, ""},
        {"resume x wait", mcierr::kNonapplicableFunction, ""},
        {"cue x output", 0, ""},
        {"cue x input output", mcierr::kFlagsNotCompatible, ""},
        {"seek x wait", mcierr::kMissingParameter, ""},
        {"seek x to start to 0", mcierr::kFlagsNotCompatible, ""},
        {"record x insert overwrite", mcierr::kFlagsNotCompatible, ""},
        {"stop x wait", 0, ""},
        {"close y", 0, ""},
        {"open new type waveaudio alias z", 0, "2"},  // the lowest free ID
        {"close all notify", 0, ""},
        {"sysinfo waveaudio quantity open", 0, "0"},
        {"status x mode", mcierr::kInvalidDeviceName, ""},
        {"close waveaudio", mcierr::kInvalidDeviceName, ""},
        {"play no-such-file.wav notify", mcierr::kNotifyOnAutoOpen, ""},
        {"play no-such-file.wav", mcierr::kFileNotFound, ""},
        {"open no-such-file.wav alias y", mcierr::kFileNotFound, ""},
        {"open song.mp3 alias y", mcierr::kExtensionNotFound, ""},
        {"open ! alias no", mcierr::kInvalidDeviceName, ""},
    });
    EXPECT_EQ(TakeNotified(), (std::vector<std::string>{"x successful", "z successful"}))
        << "open notifies only when asked; close all notifies once per device it closes";
    char field[4];
    EXPECT_EQ(engine.SendString("sysinfo waveaudio quantity open", nullptr, 0, 0), mcierr::kParamOverflow);
    EXPECT_EQ(engine.SendString("sysinfo waveaudio installname", field, sizeof field, 0), mcierr::kParamOverflow);
}

TEST_F(MciWinmmTest, PositionsFollowPlaySeekAndDelete) {
    Recorded("x");
    Run({
        {"status x position", 0, "2000"},
        {"status x length", 0, "2000"},
        {"play x from 500 to 1000 notify", 0, ""},
    });
    audio->PlayOut();
    Run({
        {"status x position", 0, "1000"},
        {"status x mode", 0, "stopped"},
        {"play x to 500", mcierr::kOutOfRange, ""},  // behind the position
        {"play x to 3000 notify", mcierr::kOutOfRange, ""},
        {"play x from 250 to 0", mcierr::kOutOfRange, ""},
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
        {"delete x from 0 to 700", mcierr::kOutOfRange, ""},
    });
    EXPECT_EQ(TakeNotified(),
              (std::vector<std::string>{"x successful", "x successful", "x successful"}));
}

TEST_F(MciWinmmTest, PendingNotificationsAreSupersededOrAborted) {
    Recorded("x");
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
        {{"play x from 0 notify", "pause x notify", "resume x notify"}, {"x superseded", "x successful", "x successful"}, "playing"},
        {{"record x notify", "stop x"}, {"x aborted"}, "stopped"},
        {{"play x from 0 notify", "close x"}, {"x aborted"}, nullptr},
    };
    for (const Case& c : cases) {
        for (const char* command : c.commands) EXPECT_EQ(Send(command).first, 0u) << command;
        if (c.mode) EXPECT_EQ(Send("status x mode").second, c.mode) << c.commands.back();
        EXPECT_EQ(TakeNotified(), c.notified) << c.commands.back();
        Send("stop x");
        TakeNotified();
        if (!c.mode) Recorded("x");
    }
    // Played out to the end: successful.
    ASSERT_EQ(Send("play x from 0 notify").first, 0u);
    audio->PlayOut();
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"x successful"});
    // A paused play goes on where it stopped when resumed.
    ASSERT_EQ(Send("play x from 0 to 1000 notify").first, 0u);
    std::vector<unsigned char> chunk(4410);
    audio->playback->Fill(chunk.data(), chunk.size());
    ASSERT_EQ(Send("pause x").first, 0u);
    EXPECT_EQ(Send("status x position").second, "200");
    ASSERT_EQ(Send("resume x").first, 0u);
    EXPECT_EQ(audio->PlayOut().size(), 22050u - 4410u);
    EXPECT_EQ(Send("status x position").second, "1000");
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"x successful"});
}

TEST_F(MciWinmmTest, RecordToAnEndWaitsAndNotifies) {
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

TEST_F(MciWinmmTest, APausedRecordingGoesOnWhenResumed) {
    Run({{"open new type waveaudio alias x", 0, "1"}, {"set x time format bytes", 0, ""}, {"record x", 0, ""}});
    audio->Record(1000);
    Run({{"status x level", 0, "128"},  // the loudest 8-bit sample of the last piece
         {"pause x", 0, ""}, {"status x level", 0, "0"}, {"status x mode", 0, "paused"}, {"status x length", 0, "1000"}, {"record x", 0, ""}});
    audio->Record(500);
    Run({{"pause x", 0, ""}, {"resume x", 0, ""}, {"status x mode", 0, "recording"}});
    audio->Record(100);
    Run({{"stop x", 0, ""}, {"status x length", 0, "1600"}, {"resume x", mcierr::kNonapplicableFunction, ""}});
}

TEST_F(MciWinmmTest, RecordsIntoTheMiddleByInsertingOrOverwriting) {
    Run({{"open new type waveaudio alias x", 0, "1"}, {"set x time format bytes", 0, ""}, {"record x", 0, ""}});
    audio->Record(1000);  // pattern bytes 0..999
    Run({{"seek x to 400", 0, ""}, {"record x", 0, ""}});
    audio->Record(100);  // 1000..1099, inserted at 400
    Run({{"stop x", 0, ""},
         {"status x length", 0, "1100"},
         {"status x position", 0, "500"},
         {"record x from 0 overwrite", 0, ""}});
    audio->Record(50);  // 1100..1149 over the first 50
    Run({{"stop x", 0, ""}, {"status x length", 0, "1100"}});
    std::string path = folder / "mix.wav";
    ASSERT_EQ(Send("save x " + path).first, 0u);
    std::vector<unsigned char> expected;
    auto span = [&](int from, int to) {
        for (int i = from; i < to; ++i) expected.push_back(FakeAudioBackend::Pattern(i));
    };
    span(1100, 1150), span(50, 400), span(1000, 1100), span(400, 1000);
    EXPECT_EQ(ReadWaveFile(path).bytes, expected);
    EXPECT_EQ(Send("info x file").second, path) << "a saved element is named by its file";
}

TEST_F(MciWinmmTest, AWaveFileRoundTrip) {
    // 8 kHz 16-bit stereo, each frame numbered.
    std::string path = folder / "take.wav";
    SF_INFO info{0, 8000, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* sf = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(sf, nullptr);
    std::vector<short> frames(2 * 8000);
    for (std::size_t i = 0; i < frames.size(); ++i) frames[i] = static_cast<short>(i * 3);
    ASSERT_EQ(sf_write_short(sf, frames.data(), static_cast<sf_count_t>(frames.size())), 16000);
    sf_close(sf);
    std::vector<unsigned char> original = ReadWaveFile(path).bytes;
    ASSERT_EQ(original.size(), 32000u);

    // Named in a command, the file opens for it alone and closes when idle.
    Run({{"status " + path + " length", 0, "1000"}, {"sysinfo waveaudio quantity open", 0, "0"}});
    Run({{"play " + path, 0, ""},
         {"status " + path + " mode notify", mcierr::kNotifyOnAutoOpen, ""},
         {"sysinfo waveaudio name 1 open", 0, path.c_str()}});
    audio->PlayOut();
    Run({{"sysinfo waveaudio quantity open", 0, "0"}, {"open nosuchdevice!" + path, mcierr::kInvalidDeviceName, ""}});
    Run({{"open " + path + " type waveaudio alias f notify", 0, "1"},
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
    WaveFile saved = ReadWaveFile(path);
    EXPECT_EQ(saved.format.channels, 2);
    EXPECT_EQ(saved.format.samplesPerSec, 8000u);
    EXPECT_EQ(saved.bytes, expected);
    EXPECT_EQ(TakeNotified(), std::vector<std::string>{"f successful"});

    std::string text = folder / "notes.wav";
    std::ofstream(text) << "not a wave file";
    EXPECT_EQ(Send("open " + text).first, mcierr::kInvalidFile);
}

TEST(MciNumbers, ReadAsWinmmReadsThem) {
    struct Case {
        const char* word;
        bool ok;
        std::uint64_t value;
    } cases[] = {
        {"1500", true, 1500},       {"0", true, 0},           {"1:2:3", true, 0x030201},
        {"0:1", true, 256},         {"255:255:255:255", true, 0xFFFFFFFF},
        {"1:2:3:4:5", false, 0},    {"256:1", false, 0},      {"1::2", false, 0},
        {"-5", true, 0xFFFFFFFB},   {"-1:2", false, 0},       {"12ms", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        std::uint64_t value = 0;
        EXPECT_EQ(ParseMciNumber(c.word, value), c.ok) << c.word;
        if (c.ok) EXPECT_EQ(value, c.value) << c.word;
    }
    MciCommand command;
    ASSERT_EQ(ParseMciCommand("save x /tmp/my wait.wav Wait NOTIFY", command), 0u);
    EXPECT_EQ(command.rest, "/tmp/my wait.wav");
    EXPECT_TRUE(command.wait && command.notify);
    ASSERT_EQ(ParseMciCommand("play x notify from 0", command), 0u);
    EXPECT_EQ(command.words, (std::vector<std::string>{"from", "0"}));
    EXPECT_TRUE(command.notify && !command.wait);
}

}  // namespace
}  // namespace tapelark
