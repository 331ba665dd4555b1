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

class MciEngineTest : public ::testing::Test {
protected:
    std::shared_ptr<FakeAudioBackend> audio = std::make_shared<FakeAudioBackend>();
    MciEngine engine{audio};
    TempFolder folder;

    void StartRecording() {
        OpenCaptureDevice(engine);
        ASSERT_EQ(MciCode(engine, "record capture"), 0u);
        ASSERT_NE(audio->capture, nullptr);
    }
    std::string Status(const std::string& item) {
        auto [code, reply] = Mci(engine, "status capture " + item);
        EXPECT_EQ(code, 0u) << item;
        return reply;
    }
};

TEST_F(MciEngineTest, TapelarksRecordingRoundTrip) {
    StartRecording();
    EXPECT_EQ(audio->lastFormat, (WaveFormat{2, 16, 44100, 4, 176400}));
    EXPECT_EQ(Status("mode"), "recording");
    audio->Record(176400 * 2 + 400);
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(audio->capture, nullptr);
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(MciCode(engine, "set capture time format ms"), 0u);
    EXPECT_EQ(Status("length"), "2002");
    EXPECT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
    EXPECT_EQ(Status("length"), "353200");

    std::string path = folder / "take one.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + path), 0u);
    WaveFile wave = ReadWaveFile(path);
    ASSERT_EQ(wave.problem, "");
    EXPECT_EQ(wave.format, testing::kStereo16Bit44100);
    ASSERT_EQ(wave.bytes.size(), 353200u);
    for (std::size_t i = 0; i < wave.bytes.size(); ++i)
        ASSERT_EQ(wave.bytes[i], FakeAudioBackend::Pattern(i)) << "byte " << i;
}

TEST_F(MciEngineTest, NewDeviceIsStoppedEmptyAndCountsInMilliseconds) {
    OpenCaptureDevice(engine);
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(Status("time format"), "milliseconds");
    EXPECT_EQ(Status("length"), "0");
    EXPECT_EQ(Status("channels"), "2");
    EXPECT_EQ(Status("bytespersec"), "176400");
}

TEST_F(MciEngineTest, LengthsInEachTimeFormatRoundDown) {
    StartRecording();
    audio->Record(176400 - 4);  // one frame short of a second
    EXPECT_EQ(Status("length"), "999");
    ASSERT_EQ(MciCode(engine, "set capture time format samples"), 0u);
    EXPECT_EQ(Status("length"), "44099");
    ASSERT_EQ(MciCode(engine, "SET CAPTURE TIME FORMAT MILLISECONDS"), 0u);
    audio->Record(6);  // a part frame does not count until it is whole
    EXPECT_EQ(Status("length"), "1000");
    EXPECT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
    EXPECT_EQ(Status("length"), "176400");
    EXPECT_EQ(MciCode(engine, "set capture time format frames"), mcierr::kBadTimeFormat);
    EXPECT_EQ(Status("time format"), "bytes");
}

TEST_F(MciEngineTest, StatusWithoutAnOpenDeviceFails) {
    EXPECT_EQ(MciCode(engine, "status capture mode"), mcierr::kInvalidDeviceName);
    OpenCaptureDevice(engine);
    ASSERT_EQ(MciCode(engine, "close all"), 0u);
    EXPECT_EQ(MciCode(engine, "status capture mode"), mcierr::kInvalidDeviceName);
}

TEST_F(MciEngineTest, RejectsUnknownCommandsDevicesAndKeywords) {
    OpenCaptureDevice(engine);
    EXPECT_EQ(MciCode(engine, "rewind capture"), mcierr::kUnrecognizedCommand);
    EXPECT_EQ(MciCode(engine, "rewind"), mcierr::kUnrecognizedCommand);
    EXPECT_EQ(MciCode(engine, ""), mcierr::kMissingCommandString);
    EXPECT_EQ(MciCode(engine, "record"), mcierr::kMissingDeviceName);
    EXPECT_EQ(MciCode(engine, "record cature"), mcierr::kInvalidDeviceName);
    EXPECT_EQ(MciCode(engine, "close cature"), mcierr::kInvalidDeviceName);
    EXPECT_EQ(MciCode(engine, "status capture colour"), mcierr::kUnrecognizedKeyword);
    EXPECT_EQ(MciCode(engine, "status capture mode now"), mcierr::kUnrecognizedKeyword);
    EXPECT_EQ(MciCode(engine, "status capture"), mcierr::kMissingParameter);
    EXPECT_EQ(MciCode(engine, "record capture loudly"), mcierr::kUnrecognizedKeyword);
    EXPECT_EQ(MciCode(engine, "set capture volume 5"), mcierr::kUnrecognizedKeyword);
    EXPECT_EQ(MciCode(engine, "status all mode"), mcierr::kCannotUseAll);
    EXPECT_EQ(MciCode(engine, "play capture from"), mcierr::kMissingParameter);
    EXPECT_EQ(MciCode(engine, "play capture from zero"), mcierr::kBadInteger);
}

TEST_F(MciEngineTest, OpenChecksTypeAndAlias) {
    EXPECT_EQ(MciCode(engine, "open new type waveaudio"), mcierr::kNewRequiresAlias);
    EXPECT_EQ(MciCode(engine, "open new alias capture"), mcierr::kDeviceTypeRequired);
    EXPECT_EQ(MciCode(engine, "open new type cdaudio alias capture"), mcierr::kDeviceNotInstalled);
    EXPECT_EQ(MciCode(engine, "open song.wav type waveaudio alias capture"), mcierr::kFileNotFound);
    EXPECT_EQ(MciCode(engine, "open new type waveaudio alias all"), mcierr::kCannotUseAll);
    EXPECT_EQ(MciCode(engine, "open new type waveaudio alias"), mcierr::kMissingStringArgument);
    EXPECT_EQ(MciCode(engine, "open new type waveaudio alias capture shareable"), mcierr::kUnsupportedFunction);
    ASSERT_EQ(MciCode(engine, "open new type waveaudio alias capture"), 0u);
    EXPECT_EQ(MciCode(engine, "OPEN NEW TYPE WAVEAUDIO ALIAS Capture"), mcierr::kDuplicateAlias);
    EXPECT_EQ(MciCode(engine, "open new type waveaudio alias other"), 0u);
}

TEST_F(MciEngineTest, CloseAllReleasesTheAliasAndTheRecording) {
    StartRecording();
    audio->Record(4000);
    ASSERT_EQ(MciCode(engine, "close all"), 0u);
    EXPECT_EQ(audio->capture, nullptr) << "closing must stop the capture stream";
    OpenCaptureDevice(engine);
    EXPECT_EQ(Status("length"), "0");
    ASSERT_EQ(MciCode(engine, "close capture"), 0u);
    EXPECT_EQ(MciCode(engine, "close capture"), mcierr::kInvalidDeviceName);
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
    // Left-out values follow from the rest: the last good set was mono 16-bit 192 kHz.
    EXPECT_EQ(Status("alignment"), "2");
    EXPECT_EQ(Status("bytespersec"), "384000");
    // A rejected command changes nothing, not even its valid parts.
    EXPECT_EQ(MciCode(engine, "set capture time format bytes channels 3"), mcierr::kOutOfRange);
    EXPECT_EQ(Status("time format"), "milliseconds");
}

TEST_F(MciEngineTest, FormatCannotChangeUnderRecordedSound) {
    StartRecording();
    audio->Record(400);
    EXPECT_EQ(MciCode(engine, "set capture channels 1"), mcierr::kNonapplicableFunction);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(MciCode(engine, "set capture channels 1"), mcierr::kNonapplicableFunction);
    EXPECT_EQ(MciCode(engine, "set capture alignment 4 bitspersample 16 samplespersec 44100 channels 2 "
                              "bytespersec 176400"),
              0u)
        << "setting the format it already has is harmless";
    EXPECT_EQ(Status("channels"), "2");
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
    std::memset(wide, ' ', sizeof wide);
    ASSERT_EQ(engine.SendString("status capture mode", wide, sizeof wide, 0), 0u);
    EXPECT_STREQ(wide, "recording");
    EXPECT_EQ(engine.SendString("status capture mode", nullptr, 255, 0), 0u);
    std::memset(wide, ' ', sizeof wide);
    EXPECT_EQ(engine.SendString("status nothing mode", wide, sizeof wide, 0), mcierr::kInvalidDeviceName);
    EXPECT_EQ(wide[0], '\0') << "a failed command leaves an empty reply";
    EXPECT_EQ(engine.SendString(nullptr, wide, sizeof wide, 0), mcierr::kMissingCommandString);
}

TEST_F(MciEngineTest, SavingWhileRecordingKeepsRecording) {
    StartRecording();
    audio->Record(44100);
    std::string first = folder / "first.wav", second = folder / "second.wav";
    ASSERT_EQ(MciCode(engine, "save capture " + first), 0u);
    EXPECT_EQ(Status("mode"), "recording");
    ASSERT_NE(audio->capture, nullptr);
    audio->Record(8820);
    ASSERT_EQ(MciCode(engine, "save capture " + second), 0u);
    EXPECT_EQ(ReadWaveFile(first).bytes.size(), 44100u - 44100u % 4);
    WaveFile later = ReadWaveFile(second);
    ASSERT_EQ(later.bytes.size(), 52920u);
    for (std::size_t i = 0; i < later.bytes.size(); ++i) ASSERT_EQ(later.bytes[i], FakeAudioBackend::Pattern(i));
}

TEST_F(MciEngineTest, CommandsOutOfOrderFail) {
    OpenCaptureDevice(engine);
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u) << "stopping a stopped device is harmless";
    EXPECT_EQ(MciCode(engine, "save capture " + (folder / "empty.wav")), mcierr::kNothingRecorded);
    EXPECT_EQ(MciCode(engine, "play capture from 0"), mcierr::kNothingRecorded);
    EXPECT_EQ(MciCode(engine, "save capture   "), mcierr::kFilenameRequired);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(MciEngineTest, RecordAgainAppends) {
    StartRecording();
    audio->Record(800);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u) << "stopping a stopped recording is harmless";
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    EXPECT_EQ(MciCode(engine, "record capture"), 0u);
    EXPECT_EQ(audio->captureStarts, 2);
    audio->Record(800);
    ASSERT_EQ(MciCode(engine, "set capture time format bytes"), 0u);
    EXPECT_EQ(Status("length"), "1600");
}

TEST_F(MciEngineTest, RecordFailsCleanlyWhenTheServerRefuses) {
    StartRecording();
    audio->Record(4000);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    audio->captureStartError = mcierr::kNoSoundServer;
    EXPECT_EQ(MciCode(engine, "record capture"), mcierr::kNoSoundServer);
    EXPECT_EQ(Status("mode"), "stopped");
    ASSERT_EQ(MciCode(engine, "save capture " + (folder / "kept.wav")), 0u);
    EXPECT_EQ(ReadWaveFile(folder / "kept.wav").bytes.size(), 4000u);
}

TEST_F(MciEngineTest, ABrokenCaptureKeepsWhatWasRecorded) {
    StartRecording();
    audio->Record(8000);
    audio->capture->CaptureFailed(mcierr::kServerLost);
    audio->Record(400);  // whatever still trickles in after the fault is not kept
    EXPECT_EQ(Status("mode"), "not ready");
    EXPECT_EQ(Status("ready"), "false");
    EXPECT_EQ(MciCode(engine, "stop capture"), mcierr::kServerLost);
    EXPECT_EQ(Status("mode"), "stopped");
    ASSERT_EQ(MciCode(engine, "save capture " + (folder / "kept.wav")), 0u);
    EXPECT_EQ(ReadWaveFile(folder / "kept.wav").bytes.size(), 8000u);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u) << "recording can go on once the server is back";
    EXPECT_EQ(Status("mode"), "recording");
}

TEST_F(MciEngineTest, PlaysTheRecordingAndEndsByItself) {
    StartRecording();
    audio->Record(176400);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u);
    EXPECT_EQ(Status("mode"), "playing");
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
    EXPECT_EQ(MciCode(engine, "play capture from 500 to 250"), mcierr::kOutOfRange);
}

TEST_F(MciEngineTest, StopEndsPlaybackAndRecordTakesOver) {
    StartRecording();
    audio->Record(4000);
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u) << "play stops the recording first";
    EXPECT_EQ(audio->capture, nullptr);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    EXPECT_EQ(audio->playback, nullptr);
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u);
    ASSERT_EQ(MciCode(engine, "record capture"), 0u);
    EXPECT_EQ(audio->playback, nullptr);
    EXPECT_EQ(Status("mode"), "recording");
}

TEST_F(MciEngineTest, PlaybackThatBreaksOffIsReportedAtStop) {
    StartRecording();
    audio->Record(4000);
    ASSERT_EQ(MciCode(engine, "stop capture"), 0u);
    audio->playbackStartError = mcierr::kNoOutput;
    EXPECT_EQ(MciCode(engine, "play capture from 0"), mcierr::kNoOutput);
    audio->playbackStartError = 0;
    ASSERT_EQ(MciCode(engine, "play capture from 0"), 0u);
    audio->playback->PlaybackEnded(mcierr::kServerLost);
    EXPECT_EQ(Status("mode"), "stopped");
    EXPECT_EQ(MciCode(engine, "stop capture"), mcierr::kServerLost);
    EXPECT_EQ(MciCode(engine, "stop capture"), 0u);
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
