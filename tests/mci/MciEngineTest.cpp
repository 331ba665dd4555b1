// SPDX-License-Identifier: MIT
// The engine and the waveaudio device over a fake sound server.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "tests/mci/FakeAudioBackend.h"
#include "tests/mci/MciTestSupport.h"
#include "tests/support/TempFolder.h"
#include "platform/mci/MciErrors.h"

namespace tapelark {
namespace {

struct Step {
    std::string command;
    std::uint32_t code;
    const char* reply = nullptr;  // nullptr: any
};

class MciEngineTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine engine{audio};
    TempFolder folder;

    void Run(const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            auto [code, reply] = Mci(engine, s.command);
            EXPECT_EQ(code, s.code) << s.command;
            if (s.reply) EXPECT_EQ(reply, s.reply) << s.command;
        }
    }
    void StartRecording() {
        OpenCaptureDevice(engine);
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        ASSERT_NE(audio->capture, nullptr);
    }
    // Recorded `bytes`, then stopped.
    void Recorded(std::size_t bytes) {
        StartRecording();
        audio->Record(bytes);
        ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    }
    std::string Status(const std::string& item) {
        auto [code, reply] = Mci(engine, "status capture " + item);
        EXPECT_EQ(code, 0u) << item;
        return reply;
    }
};

TEST_F(MciEngineTest, TapelarksRecordingRoundTripWithASaveWhileRecording) {
    StartRecording();
    EXPECT_EQ(audio->lastFormat, (WaveFormat{2, 16, 44100, 4, 176400}));
    EXPECT_EQ(Status("mode"), "recording");
    audio->Record(44101);
    std::string first = folder / "first.wav", path = folder / "take one.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + first), 0u);
    EXPECT_EQ(Status("mode"), "recording");
    ASSERT_NE(audio->capture, nullptr);
    audio->Record(176400 * 2 + 400 - 44101);
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(audio->capture, nullptr);
    EXPECT_EQ(Status("mode"), "stopped");
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    EXPECT_EQ(ReadWaveFile(first).bytes.size(), 44100u) << "whole frames only";
    WaveFile wave = ReadWaveFile(path);
    ASSERT_EQ(wave.problem, "");
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    ASSERT_EQ(wave.bytes.size(), 353200u);
    for (std::size_t i = 0; i < wave.bytes.size(); ++i)
        ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(i)) << "byte " << i;
}

TEST_F(MciEngineTest, CodesOfCommandsBeforeAndAfterOpen) {
    Run({{"open new type cdaudio alias capture", mcierr::kDeviceNotInstalled},
         {"open song.wav type waveaudio alias capture", mcierr::kFileNotFound},
         {"open new type waveaudio alias all", mcierr::kCannotUseAll},
         {"open new type waveaudio alias", mcierr::kMissingStringArgument}});
    OpenCaptureDevice(engine);
    Run({
        {"OPEN NEW TYPE WAVEAUDIO ALIAS Capture", mcierr::kDuplicateAlias}, {"open new type waveaudio alias other", 0},
        {"rewind capture", mcierr::kUnrecognizedCommand},  {"rewind", mcierr::kUnrecognizedCommand},
        {"", mcierr::kMissingCommandString},  // the parser's other codes pass through the same way
        {"record cature", mcierr::kInvalidDeviceName},     {"close cature", mcierr::kInvalidDeviceName},
        {"status capture colour", mcierr::kUnrecognizedKeyword},
        {"status capture mode now", mcierr::kUnrecognizedKeyword},
        {"status capture", mcierr::kMissingParameter},     {"record capture loudly", mcierr::kUnrecognizedKeyword},
        {"set capture volume 5", mcierr::kUnrecognizedKeyword}, {"status all mode", mcierr::kCannotUseAll},
        {"play capture from", mcierr::kMissingParameter},  {"play capture from zero", mcierr::kBadInteger},
        {"stop capture", 0},  // stopping a stopped device is harmless
        {"save capture " + (folder / "empty.wav"), mcierr::kNothingRecorded},
        {"play capture from 0", mcierr::kNothingRecorded}, {"save capture   ", mcierr::kFilenameRequired},
    });
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(MciEngineTest, LengthsInEachTimeFormatRoundDown) {
    StartRecording();
    audio->Record(176400 - 4);  // one frame short of a second
    Run({{"status capture length", 0, "999"},
         {"set capture time format samples", 0},
         {"status capture length", 0, "44099"},
         {"SET CAPTURE TIME FORMAT MILLISECONDS", 0}});
    audio->Record(6);  // a part frame does not count until it is whole
    Run({{"status capture length", 0, "1000"},
         {"set capture time format bytes", 0},
         {"status capture length", 0, "176400"}});
}

TEST_F(MciEngineTest, CloseAllReleasesTheAliasAndTheRecording) {
    StartRecording();
    audio->Record(4000);
    ASSERT_EQ(MciCode(engine, "close all"), 0u);
    EXPECT_EQ(audio->capture, nullptr) << "closing must stop the capture stream";
    OpenCaptureDevice(engine);
    Run({{"status capture length", 0, "0"}, {"close capture", 0}, {"close capture", mcierr::kInvalidDeviceName}});
}

TEST_F(MciEngineTest, FormatValuesMustAgree) {
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias capture"), 0u);
    struct Case {
        const char* values;
        std::uint32_t code;
    } cases[] = {
        {"alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400", 0},
        {"alignment 2 bitspersample 16 samplespersec 44100 channels 2 bytespersec 88200", mcierr::kFormatMismatch},
        {"alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176000", mcierr::kFormatMismatch},
        {"alignment 6 bitspersample 16 samplespersec 44100 channels 3 bytespersec 264600", mcierr::kOutOfRange},
        {"alignment 0 bitspersample 0 samplespersec 44100 channels 0 bytespersec 0", mcierr::kOutOfRange},
        {"alignment 3 bitspersample 12 samplespersec 44100 channels 2 bytespersec 132300", mcierr::kOutOfRange},
        {"alignment 4 bitspersample 16 samplespersec 7999 channels 2 bytespersec 31996", mcierr::kOutOfRange},
        {"alignment 4 bitspersample 16 samplespersec 192001 channels 2 bytespersec 768004", mcierr::kOutOfRange},
        {"alignment 1 bitspersample 8 samplespersec 8000 channels 1 bytespersec 8000", 0},
        {"alignment 4 bitspersample 16 samplespersec 192000 channels 2 bytespersec 768000", 0},
        {"channels 2 channels 2", mcierr::kDuplicateFlags},
        {"channels two", mcierr::kBadInteger},
        {"channels 99999999999", mcierr::kOutOfRange},
        {"bitspersample", mcierr::kMissingParameter},
        {"format tag pcm channels 1", 0},
        {"format tag mp3", mcierr::kBadConstant},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MciCode(engine, std::string("set capture ") + c.values), c.code) << c.values;
    Run({// Left-out values follow from the rest: the last good set was mono 16-bit 192 kHz.
         {"status capture alignment", 0, "2"},
         {"status capture bytespersec", 0, "384000"},
         // A rejected command changes nothing, not even its valid parts.
         {"set capture time format bytes channels 3", mcierr::kOutOfRange},
         {"status capture time format", 0, "milliseconds"}});
}

TEST_F(MciEngineTest, FormatCannotChangeUnderRecordedSound) {
    StartRecording();
    audio->Record(400);
    Run({{"set capture channels 1", mcierr::kNonapplicableFunction}, {"stop capture", 0},
         {"set capture channels 1", mcierr::kNonapplicableFunction},
         {"set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 bytespersec 176400", 0},  // the same
         {"status capture channels", 0, "2"}});
}

TEST_F(MciEngineTest, ReplyIsCutToTheFieldWithAClosingNul) {
    StartRecording();
    char field[8];
    std::memset(field, 'x', sizeof field);
    ASSERT_EQ(engine.SendString("status capture mode", field, 4, 0), 0u);
    EXPECT_STREQ(field, "rec");
    EXPECT_EQ(field[4], 'x') << "nothing written past the field's length";
    std::memset(field, 'x', sizeof field);
    ASSERT_EQ(engine.SendString("status capture mode", field, 0, 0), 0u);
    EXPECT_EQ(field[0], 'x') << "length 0 means write nothing";
    ASSERT_EQ(engine.SendString("status capture mode", field, 1, 0), 0u);
    EXPECT_EQ(field[0], '\0');
    char wide[260];
    ASSERT_EQ(engine.SendString("status capture mode", wide, sizeof wide, 0), 0u);
    EXPECT_STREQ(wide, "recording");
    EXPECT_EQ(engine.SendString("status capture mode", nullptr, 255, 0), 0u);
    std::memset(wide, ' ', sizeof wide);
    EXPECT_EQ(engine.SendString("status nothing mode", wide, sizeof wide, 0), mcierr::kInvalidDeviceName);
    EXPECT_EQ(wide[0], '\0') << "a failed command leaves an empty reply";
    EXPECT_EQ(engine.SendString(nullptr, wide, sizeof wide, 0), mcierr::kMissingCommandString);
}

TEST_F(MciEngineTest, RecordAgainAppends) {
    Recorded(800);
    Run({{"stop capture", 0}, {"record capture", 0}, {"record capture", 0}});  // repeats are harmless
    EXPECT_EQ(audio->captureStarts, 2);
    audio->Record(800);
    Run({{"set capture time format bytes", 0}, {"status capture length", 0, "1600"}});
}

TEST_F(MciEngineTest, RecordFailsCleanlyWhenTheServerRefuses) {
    Recorded(4000);
    audio->captureStartError = mcierr::kNoSoundServer;
    Run({{"record capture", mcierr::kNoSoundServer},
         {"status capture mode", 0, "stopped"},
         {"save capture " + (folder / "kept.wav"), 0}});
    EXPECT_EQ(ReadWaveFile(folder / "kept.wav").bytes.size(), 4000u);
}

TEST_F(MciEngineTest, ABrokenCaptureKeepsWhatWasRecorded) {
    StartRecording();
    audio->Record(8000);
    audio->capture->CaptureFailed(mcierr::kServerLost);
    audio->Record(400);  // whatever still trickles in after the fault is not kept
    Run({{"status capture mode", 0, "not ready"},
         {"status capture ready", 0, "false"},
         {"stop capture", mcierr::kServerLost},
         {"status capture mode", 0, "stopped"},
         {"save capture " + (folder / "kept.wav"), 0}});
    EXPECT_EQ(ReadWaveFile(folder / "kept.wav").bytes.size(), 8000u);
    // Recording can go on once the server is back.
    Run({{"record capture", 0}, {"status capture mode", 0, "recording"}});
}

TEST_F(MciEngineTest, PlaysTheRecordingAndEndsByItself) {
    Recorded(176400);
    Run({{"play capture from 0", 0}, {"status capture mode", 0, "playing"}});
    std::vector<unsigned char> played = audio->PlayOut(1000);
    ASSERT_EQ(played.size(), 176400u);
    for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], FakeAudioBackend::Pattern(i));
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(audio->playback, nullptr) << "the finished stream is released";

    ASSERT_EQ(MciCode(engine, "play capture from 250 to 500"), 0u);
    played = audio->PlayOut();
    ASSERT_EQ(played.size(), 44100u);
    EXPECT_EQ(played[0], FakeAudioBackend::Pattern(44100));
    EXPECT_EQ(MciCode(engine, "play capture from 1001"), mcierr::kOutOfRange);
}

TEST_F(MciEngineTest, StopEndsPlaybackAndRecordTakesOver) {
    StartRecording();
    audio->Record(4000);
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u) << "play stops the recording first";
    EXPECT_EQ(audio->capture, nullptr);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(audio->playback, nullptr);
    Run({{"play capture from 0", 0}, {"record capture", 0}});
    EXPECT_EQ(audio->playback, nullptr);
    EXPECT_EQ(Status("mode"), "recording");
    // A playback that breaks off, or cannot start, is reported.
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    audio->playbackStartError = mcierr::kNoOutput;
    EXPECT_EQ(MciCode(engine, "play capture from 0"), mcierr::kNoOutput);
    audio->playbackStartError = 0;
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u);
    audio->playback->PlaybackEnded(mcierr::kServerLost);
    Run({{"status capture mode", 0, "stopped"}, {"stop capture", mcierr::kServerLost}, {"stop capture", 0}});
}

TEST(MciErrorTexts, EveryCodeTheEngineGivesHasItsOwnText) {
    const std::uint32_t codes[] = {
        mcierr::kUnrecognizedKeyword, mcierr::kUnrecognizedCommand, mcierr::kInvalidDeviceName,
        mcierr::kMissingCommandString, mcierr::kMissingStringArgument, mcierr::kBadInteger,
        mcierr::kMissingParameter, mcierr::kUnsupportedFunction, mcierr::kCannotUseAll, mcierr::kOutOfRange,
        mcierr::kDeviceTypeRequired, mcierr::kDuplicateAlias, mcierr::kBadConstant, mcierr::kMissingDeviceName,
        mcierr::kBadTimeFormat, mcierr::kNoClosingQuote, mcierr::kDuplicateFlags, mcierr::kNewRequiresAlias,
        mcierr::kNonapplicableFunction, mcierr::kFilenameRequired, mcierr::kDeviceNotInstalled,
        mcierr::kFileWrite, mcierr::kFormatMismatch, mcierr::kNoSoundServer, mcierr::kNoInput,
        mcierr::kNoOutput, mcierr::kServerLost, mcierr::kNothingRecorded, mcierr::kNotRecordingOrPlaying,
        mcierr::kFolderMissing, mcierr::kAccessDenied, mcierr::kReadOnlyFileSystem, mcierr::kDiskFull,
        mcierr::kNameTooLong, mcierr::kFileTooLarge, mcierr::kNotAFolder, mcierr::kIsAFolder,
        mcierr::kSpoolFailed, mcierr::kSoundServerError};
    std::set<std::string> texts;
    for (std::uint32_t code : codes) {
        std::string text = MciErrorText(code);
        EXPECT_EQ(text.find("Unknown MCI error"), std::string::npos) << code;
        EXPECT_TRUE(texts.insert(text).second) << "text of " << code << " is shared";
    }
    EXPECT_EQ(mcierr::kUnrecognizedCommand, 261u);
    EXPECT_EQ(mcierr::kInvalidDeviceName, 263u);
    EXPECT_EQ(mcierr::kDuplicateAlias, 289u);
    EXPECT_NE(MciErrorText(99999).find("99999"), std::string::npos);
}

}  // namespace
}  // namespace tapelark
