// SPDX-License-Identifier: MIT
// Command strings and what they answer, as winmm answers them where it has
// an answer, over a fake sound server.
#include <gtest/gtest.h>


#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciTimeFormat.h"
#include "tests/mci/MciTestSupport.h"

namespace tapelark {
namespace {

using namespace mcierr;
using namespace std::string_literals;

using MciCommandTest = MciFakeServerTest;

TEST_F(MciCommandTest, CodesAndReplies) {
    Run({
        {" \t ", kMissingCommandString}, {"record", kMissingDeviceName}, {"rewind", kUnrecognizedCommand},
        {"open new type waveaudio", kNewRequiresAlias}, {"open new alias x", kDeviceTypeRequired},
        {"open new type waveaudio alias", kMissingStringArgument},
        {"open new type waveaudio alias all", kCannotUseAll},
        {"open new type cdaudio alias x", kDeviceNotInstalled},
        {"open new type waveaudio alias r shareable", kUnsupportedFunction},
        {"open new type waveaudio alias x buffer 4 wait", 0, "1"},
        {"OPEN NEW TYPE WAVEAUDIO ALIAS X", kDuplicateAlias}, {"open new type waveaudio alias y", 0, "2"},
        {"open new type waveaudio alias \"my take\"", 0, "3"}, {"status \"my take mode", kNoClosingQuote},
        {"close \"my take\""}, {"record cature", kInvalidDeviceName}, {"status all mode", kCannotUseAll},
        {"status x colour", kUnrecognizedKeyword}, {"status x mode now", kUnrecognizedKeyword},
        {"record x loudly", kUnrecognizedKeyword}, {"set x volume 5", kUnrecognizedKeyword},
        {"status x", kMissingParameter}, {"set x door open", kUnsupportedFunction},
        {"play x from", kMissingParameter}, {"play x from zero", kBadInteger},
        {"play x from 0", kNothingRecorded}, {"save x " + (folder / "empty.wav"), kNothingRecorded},
        {"save x   ", kFilenameRequired}, {"stop x wait"},  // stopping a stopped device is harmless
        // Time formats; a rejected command changes nothing, not even its valid parts.
        {"set x time format ms time format bytes", kFlagsNotCompatible},
        {"set x time format bytes channels 3", kOutOfRange}, {"status x time format", 0, "milliseconds"},
        {"set x time format 8"}, {"status x time format", 0, "bytes"}, {"set x time format 9"},
        {"status x time format", 0, "samples"}, {"  SET\tX   time  FORMAT ms \r\n"},
        {"status x time format", 0, "milliseconds"}, {"set x time format 5", kBadTimeFormat},
        {"set x time format smpte 25", kBadTimeFormat}, {"set x time format fortnights", kBadConstant},
        // The format's values must agree with each other and stay in range.
        {"set x alignment 2 bitspersample 16 samplespersec 44100 channels 2 bytespersec 88200",
         kFormatMismatch},
        {"set x alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176000",
         kFormatMismatch},
        {"set x alignment 6 bitspersample 16 samplespersec 44100 channels 3 bytespersec 264600", kOutOfRange},
        {"set x alignment 0 bitspersample 0 samplespersec 44100 channels 0 bytespersec 0", kOutOfRange},
        {"set x alignment 3 bitspersample 12 samplespersec 44100 channels 2 bytespersec 132300", kOutOfRange},
        {"set x alignment 4 bitspersample 16 samplespersec 7999 channels 2 bytespersec 31996", kOutOfRange},
        {"set x alignment 4 bitspersample 16 samplespersec 192001 channels 2 bytespersec 768004",
         kOutOfRange}, {"set x alignment 1 bitspersample 8 samplespersec 8000 channels 1 bytespersec 8000"},
        {"set x alignment 4 bitspersample 16 samplespersec 192000 channels 2 bytespersec 768000"},
        {"set x channels 2 channels 2", kDuplicateFlags}, {"set x channels two", kBadInteger},
        {"set x channels 99999999999", kOutOfRange}, {"set x bitspersample", kMissingParameter},
        {"set x bitspersample 4", kOutOfRange}, {"set x format tag 2", kOutOfRange},
        {"set x format tag mp3", kBadConstant}, {"set x format tag pcm channels 1"},
        // Left-out values follow from the rest.
        {"status x alignment", 0, "2"}, {"status x bytespersec", 0, "384000"},
        {"info x file", kNonapplicableFunction}, {"info x", kMissingParameter},
        // Flags after every command, also after a program's name; a quoted word is a value.
        {"set x input output wait"}, {"status x input", 0, "output (not recording)"},
        {"set x input application vgs.exe notify"},
        {"status x input", 0, "application vgs.exe (not recording)"}, {"set x input application \"notify\""},
        {"status x input", 0, "application notify (not recording)"},
        {"capability x device type", 0, "waveaudio"}, {"capability waveaudio outputs", 0, "1"},
        {"status x start position", 0, "0"}, {"status x position track 2", kOutOfRange},
        {"sysinfo all quantity", 0, "1"}, {"sysinfo waveaudio quantity open", 0, "2"},
        {"sysinfo waveaudio name 2 open", 0, "y"}, {"sysinfo waveaudio name 3 open", kOutOfRange},
        {"sysinfo all name 1", 0, "waveaudio"}, {"sysinfo waveaudio installname", 0, "waveaudio"},
        {"sysinfo x quantity open", kDeviceTypeRequired}, {"pause x", kNonapplicableFunction},
        {"cue x output"}, {"cue x input output", kFlagsNotCompatible}, {"seek x wait", kMissingParameter},
        {"close y"}, {"open new type waveaudio alias z", 0, "2"},  // the lowest free ID
        {"close all notify"}, {"sysinfo waveaudio quantity open", 0, "0"},
        {"close waveaudio", kInvalidDeviceName}, {"open ! alias no", kInvalidDeviceName},
        {"play no-such-file.wav notify", kNotifyOnAutoOpen}, {"play no-such-file.wav", kFileNotFound},
        {"open song.mp3 alias y", kExtensionNotFound},
    });
    EXPECT_EQ(TakeNotified(), (std::vector<std::string>{"x successful", "x successful", "z successful"}))
        << "open notifies only when asked; close all notifies once per device it closes";
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(MciCommandTest, ReplyIsCutToTheFieldWithAClosingNul) {
    OpenCaptureDevice(engine);
    // What the first eight bytes of a field of 'x's hold afterwards.
    struct Case { const char* command; std::uint32_t length, code; std::string field; } cases[] = {
        {"status capture mode", 4, 0, "sto\0xxxx"s},  // nothing past the field's length
        {"status capture mode", 1, 0, "\0xxxxxxx"s},
        {"status capture mode", 0, 0, "xxxxxxxx"},  // length 0: nothing written
        {"status capture mode", 260, 0, "stopped\0"s},
        {"status nothing mode", 260, kInvalidDeviceName, "\0xxxxxxx"s},  // a failure leaves an empty reply
        {nullptr, 260, kMissingCommandString, "\0xxxxxxx"s},
        {"sysinfo waveaudio installname", 4, kParamOverflow, "\0xxxxxxx"s},  // as winmm says it
    };
    for (const Case& c : cases) {
        char field[260] = "xxxxxxxx";
        EXPECT_EQ(engine.SendString(c.command, field, c.length, 0), c.code) << c.length;
        EXPECT_EQ(std::string(field, 8), c.field) << c.length;
    }
    EXPECT_EQ(engine.SendString("status capture mode", nullptr, 255, 0), 0u);
    EXPECT_EQ(engine.SendString("sysinfo waveaudio quantity open", nullptr, 0, 0), kParamOverflow);
}

TEST(MciNumbers, ReadAsWinmmReadsThem) {
    struct Case { const char* word; bool ok; std::uint64_t value; } cases[] = {
        {"1500", true, 1500}, {"0", true, 0}, {"1:2:3", true, 0x030201}, {"0:1", true, 256},
        {"255:255:255:255", true, 0xFFFFFFFF}, {"1:2:3:4:5", false, 0}, {"256:1", false, 0},
        {"1::2", false, 0}, {"-5", true, 0xFFFFFFFB}, {"-1:2", false, 0}, {"12ms", false, 0}, {"", false, 0},
    };
    for (const Case& c : cases) {
        std::uint64_t value = 0;
        EXPECT_EQ(ParseMciNumber(c.word, value), c.ok) << c.word;
        if (c.ok) EXPECT_EQ(value, c.value) << c.word;
    }
}

TEST(MciTimeFormats, CountBytesBothWays) {
    const WaveFormat cd{2, 16, 44100, 4, 176400}, phone{1, 8, 11025, 1, 11025};
    struct Case {
        TimeFormat format;
        WaveFormat wave;
        std::uint64_t bytes, time;  // bytes as time, and time back as bytes
        std::uint64_t back;
    } cases[] = {
        {TimeFormat::Milliseconds, cd, 176400, 1000, 176400},
        {TimeFormat::Milliseconds, cd, 176399, 999, 176224},  // down as time, up to a whole frame as bytes
        {TimeFormat::Milliseconds, phone, 11, 0, 0},
        {TimeFormat::Milliseconds, phone, 12, 1, 12},  // 1 ms is 11.025 frames: 12
        {TimeFormat::Milliseconds, cd, 176400ull * 36000, 36000000, 176400ull * 36000},  // ten hours
        {TimeFormat::Bytes, cd, 7, 7, 4},  // bytes go down to a whole frame
        {TimeFormat::Samples, cd, 8, 2, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeFromBytes(c.bytes, c.format, c.wave), c.time) << c.bytes;
        std::uint64_t bytes = 0;
        EXPECT_EQ(BytesFromTime(c.time, c.format, c.wave, bytes), 0u);
        EXPECT_EQ(bytes, c.back) << c.time;
    }
    std::uint64_t bytes = 0;
    EXPECT_EQ(BytesFromTime(std::uint64_t{1} << 51, TimeFormat::Samples, cd, bytes), kOutOfRange);
}

}  // namespace
}  // namespace tapelark
