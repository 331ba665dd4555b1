// SPDX-License-Identifier: MIT
// The waveaudio device's verbs and their flags: what each command string
// asks, read into values before the device acts on it.
#include "platform/mci/WaveAudioDevice.h"

#include <filesystem>
#include <iterator>
#include <utility>

#include "common/AsciiText.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveFileReader.h"
#include "platform/mci/WaveFileWriter.h"

namespace tapelark {

namespace {

std::string Bool(bool b) { return b ? "true" : "false"; }

std::string FullPath(const std::string& path) {
    std::error_code ec;
    auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

// The flags of the transport verbs. Longer phrases come first, so "to start"
// is not read as "to" and a number.
enum Flag : unsigned {
    kFrom = 1,
    kTo = 2,
    kToStart = 4,
    kToEnd = 8,
    kInsert = 16,
    kOverwrite = 32,
    kInput = 64,
    kOutput = 128,
};
constexpr struct {
    std::string_view phrase;
    Flag flag;
} kFlagWords[] = {
    {"to start", kToStart}, {"to end", kToEnd},        {"from", kFrom},   {"to", kTo},
    {"insert", kInsert},    {"overwrite", kOverwrite}, {"input", kInput}, {"output", kOutput},
};
// Which verb takes which flags.
constexpr struct {
    MciVerb verb;
    unsigned flags;
} kVerbFlags[] = {
    {MciVerb::Record, kFrom | kTo | kInsert | kOverwrite},
    {MciVerb::Play, kFrom | kTo},
    {MciVerb::Seek, kToStart | kToEnd | kTo},
    {MciVerb::Delete, kFrom | kTo},
    {MciVerb::Cue, kInput | kOutput},
    {MciVerb::Stop, 0},
    {MciVerb::Pause, 0},
    {MciVerb::Resume, 0},
};

}  // namespace

WaveAudioDevice::WaveAudioDevice(AudioBackend& backend, Notifier notifier)
    : backend_(backend), notifier_(std::move(notifier)) {}

WaveAudioDevice::~WaveAudioDevice() {
    capture_.reset();
    playback_.reset();
    writer_.reset();
}

std::uint32_t WaveAudioDevice::Open() {
    std::string whyNot;
    kept_ = KeptTake::Start(whyNot);
    if (!kept_) {
        // Recording works as before; only a crash would now take the take with it.
        notKept_ = "this take could not be kept safe from a crash: " + whyNot;
        return spool_.Create();
    }
    kept_->Describe(format_, DescribeInput(input_), true);
    return spool_.Adopt(kept_->Sound());
}

std::uint32_t WaveAudioDevice::OpenFile(const std::string& path) {
    std::uint32_t code = ReadWaveFileInto(path, format_, spool_);
    if (code == 0) element_ = FullPath(path);
    return code;
}

void WaveAudioDevice::Close() {
    EndPending(MciNotify::Aborted);
    StopAll();
}

bool WaveAudioDevice::Busy() {
    ReapStreams();
    return Recording() || Playing() || paused_ != Paused::No;
}

std::uint32_t WaveAudioDevice::Execute(const MciCommand& command, std::string& reply,
                                       std::uintptr_t callback) {
    ReapStreams();
    KeywordReader words(command.words);
    std::uint32_t code = 0;
    switch (command.verb) {
        case MciVerb::Set: code = IsInputSetting(command) ? SetInput(command) : Set(words); break;
        case MciVerb::Status: code = Status(words, reply); break;
        case MciVerb::Capability: code = Capability(words, reply); break;
        case MciVerb::Info: code = Info(words, reply); break;
        case MciVerb::Save: code = Save(command.rest); break;
        case MciVerb::Open:
        case MciVerb::Close:
        case MciVerb::Sysinfo: return mcierr::kUnrecognizedCommand;  // the engine's own
        default: {
            Request request{{}, command.wait, command.notify, callback};
            if ((code = ReadFlags(command.verb, words, request.flags)) != 0) return code;
            code = Transport(command.verb, request);
            if (code == 0 && command.notify && callback != 0 && !request.async)
                notifier_(callback, MciNotify::Successful);
            return code;
        }
    }
    if (code == 0 && command.notify) {
        // A new request to notify takes the place of the one still pending.
        EndPending(MciNotify::Superseded);
        if (callback != 0) notifier_(callback, MciNotify::Successful);
    }
    return code;
}

std::uint32_t WaveAudioDevice::ReadFlags(MciVerb verb, KeywordReader& words, Flags& flags) const {
    unsigned allowed = 0;
    for (const auto& v : kVerbFlags)
        if (v.verb == verb) allowed = v.flags;
    while (!words.AtEnd()) {
        const auto* word = std::find_if(std::begin(kFlagWords), std::end(kFlagWords), [&](const auto& w) {
            return (allowed & w.flag) && words.Take(w.phrase);
        });
        if (word == std::end(kFlagWords)) return mcierr::kUnrecognizedKeyword;
        if (word->flag == kFrom || word->flag == kTo) {
            std::optional<std::uint64_t>& slot = word->flag == kFrom ? flags.from : flags.to;
            if (slot) return mcierr::kDuplicateFlags;
            std::uint64_t value = 0, bytes = 0;
            if (auto code = words.TakeNumber(value)) return code;
            if (auto code = BytesFromTime(value, timeFormat_, format_, bytes)) return code;
            slot = bytes;
        }
        flags.toStart |= word->flag == kToStart, flags.toEnd |= word->flag == kToEnd;
        flags.insert |= word->flag == kInsert, flags.overwrite |= word->flag == kOverwrite;
        flags.input |= word->flag == kInput, flags.output |= word->flag == kOutput;
    }
    return 0;
}

// ---- set, status, capability, info, save ---------------------------------------

std::uint32_t WaveAudioDevice::Set(KeywordReader& words) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    WaveFormat wanted = format_;
    TimeFormat timeFormat = timeFormat_;
    bool gotAlign = false, gotBits = false, gotRate = false, gotChannels = false, gotBytes = false,
         gotTag = false, gotTime = false;

    auto number = [&](bool& seen, std::uint64_t limit, auto& field) -> std::uint32_t {
        if (seen) return mcierr::kDuplicateFlags;
        seen = true;
        std::uint64_t value = 0;
        if (auto code = words.TakeNumber(value)) return code;
        if (value > limit) return mcierr::kOutOfRange;
        field = static_cast<std::remove_reference_t<decltype(field)>>(value);
        return 0;
    };

    while (!words.AtEnd()) {
        std::uint32_t code = 0;
        if (words.Take("time format")) {
            // A second time format contradicts the first, as winmm sees it.
            if (gotTime) return mcierr::kFlagsNotCompatible;
            gotTime = true;
            std::string value;
            if (!words.TakeWord(value)) return mcierr::kMissingParameter;
            code = ParseTimeFormat(value, timeFormat);
            // SMPTE's frame rate follows it; the format is refused all the same.
            if (EqualsIgnoringAsciiCase(value, "smpte"))
                words.Take("24") || words.Take("25") || words.Take("30 drop") || words.Take("30");
        } else if (words.Take("format tag")) {
            if (gotTag) return mcierr::kDuplicateFlags;
            gotTag = true;
            std::string value;
            if (!words.TakeWord(value)) return mcierr::kMissingParameter;
            value = AsciiLowerCase(value);
            std::uint64_t tag = 0;
            if (ParseMciNumber(value, tag))
                code = tag == 1 ? 0 : mcierr::kOutOfRange;  // PCM only
            else if (value != "pcm")
                code = mcierr::kBadConstant;
        } else if (words.Take("alignment")) {
            code = number(gotAlign, 0xFFFF, wanted.blockAlign);
        } else if (words.Take("bitspersample")) {
            code = number(gotBits, 0xFFFF, wanted.bitsPerSample);
        } else if (words.Take("samplespersec")) {
            code = number(gotRate, 0xFFFFFFFF, wanted.samplesPerSec);
        } else if (words.Take("channels")) {
            code = number(gotChannels, 0xFFFF, wanted.channels);
        } else if (words.Take("bytespersec")) {
            code = number(gotBytes, 0xFFFFFFFF, wanted.bytesPerSec);
        } else if (words.Take("door open") || words.Take("door closed") || words.Take("audio") ||
                   words.Take("video")) {
            // No door, and no per-channel muting on this device.
            return mcierr::kUnsupportedFunction;
        } else {
            return mcierr::kUnrecognizedKeyword;
        }
        if (code != 0) return code;
    }

    // Values left out follow from the others, so "set x channels 1" works alone.
    if (!gotAlign) wanted.blockAlign = static_cast<std::uint16_t>(wanted.channels * wanted.bitsPerSample / 8);
    if (!gotBytes) wanted.bytesPerSec = std::uint32_t{wanted.blockAlign} * wanted.samplesPerSec;
    if (auto code = CheckWaveFormat(wanted)) return code;
    // Changing the format under recorded samples would garble them.
    if (wanted != format_ && (Recording() || Playing() || paused_ != Paused::No || LengthBytes() > 0))
        return mcierr::kNonapplicableFunction;
    format_ = wanted;
    timeFormat_ = timeFormat;
    return 0;
}

std::uint32_t WaveAudioDevice::Status(KeywordReader& words, std::string& reply) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    std::string answer;
    auto track = [&](std::uint64_t& bytes, bool position) -> std::uint32_t {
        // One element is one track, starting at 0.
        if (!words.Take("track")) return 0;
        std::uint64_t number = 0;
        if (auto code = words.TakeNumber(number)) return code;
        if (number != 1) return mcierr::kOutOfRange;
        if (position) bytes = 0;
        return 0;
    };
    if (words.Take("mode"))
        answer = Mode();
    else if (words.Take("length") || words.Take("position")) {
        bool position = AsciiLowerCase(words.Previous()) == "position";
        std::uint64_t bytes = position ? PositionBytes() : LengthBytes();
        // Sound a capture holds back for late arrivals counts: the length keeps up with the clock.
        if (Recording() && !tail_)
            bytes += std::min(capture_->HeldBackBytes(), recordLimit_.load() - writer_->Total()) /
                     format_.blockAlign * format_.blockAlign;
        if (auto code = track(bytes, position)) return code;
        answer = std::to_string(TimeFromBytes(bytes, timeFormat_, format_));
    } else if (words.Take("start position"))
        answer = "0";
    else if (words.Take("number of tracks"))
        answer = "1";
    else if (words.Take("current track"))
        answer = "1";
    else if (words.Take("ready"))
        answer = Bool(captureFault_.load() == 0 && !(capture_ && capture_->Away()) && !(writer_ && writer_->Error()));
    else if (words.Take("media present"))
        answer = "true";
    else if (words.Take("level"))
        answer = std::to_string(Recording() || Playing() ? level_.load() : 0);
    else if (words.Take("output"))
        return mcierr::kWaveOutputUnspecified;
    else if (words.Take("time format"))
        answer = TimeFormatName(timeFormat_);
    else if (words.Take("channels"))
        answer = std::to_string(format_.channels);
    else if (words.Take("bitspersample"))
        answer = std::to_string(format_.bitsPerSample);
    else if (words.Take("samplespersec"))
        answer = std::to_string(format_.samplesPerSec);
    else if (words.Take("bytespersec"))
        answer = std::to_string(format_.bytesPerSec);
    else if (words.Take("alignment"))
        answer = std::to_string(format_.blockAlign);
    else if (words.Take("format tag"))
        answer = "pcm";
    else if (words.Take("input"))
        answer = InputStatus();
    else
        return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

std::uint32_t WaveAudioDevice::Capability(KeywordReader& words, std::string& reply) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    std::string answer;
    if (words.Take("can eject"))
        answer = "false";
    else if (words.Take("can play") || words.Take("can record") || words.Take("can save") ||
             words.Take("compound device") || words.Take("has audio") || words.Take("uses files"))
        answer = "true";
    else if (words.Take("has video"))
        answer = "false";
    else if (words.Take("device type"))
        answer = "waveaudio";
    else if (words.Take("inputs") || words.Take("outputs"))
        answer = "1";  // the server's default source/sink
    else
        return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

std::uint32_t WaveAudioDevice::Info(KeywordReader& words, std::string& reply) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    std::string answer;
    if (words.Take("product"))
        answer = "Tapelark waveaudio over PulseAudio";
    else if (words.Take("file")) {
        if (element_.empty()) return mcierr::kNonapplicableFunction;  // until opened or saved
        answer = element_;
    } else
        return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

std::uint32_t WaveAudioDevice::Save(std::string path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    if (path.empty()) path = element_;  // the file it was opened from
    if (path.empty()) return mcierr::kFilenameRequired;
    if (tail_) return mcierr::kNonapplicableFunction;  // recording into the middle: save once stopped
    // While recording this is what has arrived so far; recording goes on.
    if (writer_ && writer_->Flush() != 0) return mcierr::kSpoolFailed;
    std::uint64_t bytes = spool_.Size();
    bytes -= bytes % format_.blockAlign;
    if (bytes == 0) return mcierr::kNothingRecorded;
    std::uint32_t code = WriteWaveFile(path, format_, spool_, bytes);
    if (code == 0) element_ = FullPath(path);
    return code;
}

}  // namespace tapelark
