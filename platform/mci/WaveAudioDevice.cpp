#include "platform/mci/WaveAudioDevice.h"

#include <algorithm>
#include <utility>

#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveFileWriter.h"

namespace tapelark {

WaveAudioDevice::WaveAudioDevice(AudioBackend& backend) : backend_(backend) {}

WaveAudioDevice::~WaveAudioDevice() {
    capture_.reset();
    playback_.reset();
}

std::uint32_t WaveAudioDevice::Open() { return spool_.Create(); }

std::uint32_t WaveAudioDevice::Execute(const MciCommand& command, std::string& reply) {
    ReapPlayback();
    KeywordReader words(command.words);
    const std::string& verb = command.verb;
    if (verb == "set" && IsInputSetting(command)) return SetInput(command);
    if (verb == "set") return Set(words);
    if (verb == "status") return Status(words, reply);
    if (verb == "record") return Record(words);
    if (verb == "stop") return Stop(words);
    if (verb == "play") return Play(words);
    if (verb == "save") return Save(command.rest);
    return mcierr::kUnsupportedFunction;
}

// ---- set -------------------------------------------------------------------

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
            if (gotTime) return mcierr::kDuplicateFlags;
            gotTime = true;
            std::string value;
            if (!words.TakeWord(value)) return mcierr::kMissingParameter;
            value = LowerCase(value);
            if (value == "ms" || value == "milliseconds") timeFormat = TimeFormat::Milliseconds;
            else if (value == "bytes") timeFormat = TimeFormat::Bytes;
            else if (value == "samples") timeFormat = TimeFormat::Samples;
            else return mcierr::kBadTimeFormat;
        } else if (words.Take("format tag")) {
            if (gotTag) return mcierr::kDuplicateFlags;
            gotTag = true;
            std::string value;
            if (!words.TakeWord(value)) return mcierr::kMissingParameter;
            value = LowerCase(value);
            if (value != "pcm" && value != "1") return mcierr::kBadConstant;
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
    if (wanted != format_ && (capture_ || Playing() || LengthBytes() > 0))
        return mcierr::kNonapplicableFunction;
    format_ = wanted;
    timeFormat_ = timeFormat;
    return 0;
}

// ---- status ----------------------------------------------------------------

std::uint32_t WaveAudioDevice::Status(KeywordReader& words, std::string& reply) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    std::string answer;
    if (words.Take("mode")) answer = Mode();
    else if (words.Take("length")) answer = std::to_string(FromBytes(LengthBytes()));
    else if (words.Take("position"))
        answer = std::to_string(FromBytes(Playing() ? playPosition_.load() : LengthBytes()));
    else if (words.Take("ready")) answer = captureFault_.load() ? "false" : "true";
    else if (words.Take("time format"))
        answer = timeFormat_ == TimeFormat::Milliseconds ? "milliseconds"
                 : timeFormat_ == TimeFormat::Bytes      ? "bytes"
                                                         : "samples";
    else if (words.Take("channels")) answer = std::to_string(format_.channels);
    else if (words.Take("bitspersample")) answer = std::to_string(format_.bitsPerSample);
    else if (words.Take("samplespersec")) answer = std::to_string(format_.samplesPerSec);
    else if (words.Take("bytespersec")) answer = std::to_string(format_.bytesPerSec);
    else if (words.Take("alignment")) answer = std::to_string(format_.blockAlign);
    else if (words.Take("format tag")) answer = "pcm";
    else if (words.Take("media present")) answer = "true";
    else if (words.Take("input")) answer = InputStatus();
    else return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

std::string WaveAudioDevice::Mode() const {
    if (Playing()) return "playing";
    if (capture_) return captureFault_.load() ? "not ready" : "recording";
    return "stopped";
}

std::uint64_t WaveAudioDevice::LengthBytes() const {
    std::uint64_t size = spool_.Size();
    return size - size % format_.blockAlign;
}

std::uint64_t WaveAudioDevice::FromBytes(std::uint64_t bytes) const {
    switch (timeFormat_) {
    case TimeFormat::Bytes: return bytes;
    case TimeFormat::Samples: return bytes / format_.blockAlign;
    case TimeFormat::Milliseconds: break;
    }
    // Split so that hours of audio cannot overflow the product.
    std::uint64_t seconds = bytes / format_.bytesPerSec;
    std::uint64_t remainder = bytes % format_.bytesPerSec;
    return seconds * 1000 + remainder * 1000 / format_.bytesPerSec;
}

std::uint32_t WaveAudioDevice::ToBytes(std::uint64_t value, std::uint64_t& bytes) const {
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 50;
    if (value > kLimit) return mcierr::kOutOfRange;
    switch (timeFormat_) {
    case TimeFormat::Bytes: bytes = value - value % format_.blockAlign; break;
    case TimeFormat::Samples: bytes = value * format_.blockAlign; break;
    case TimeFormat::Milliseconds:
        bytes = value / 1000 * format_.bytesPerSec + value % 1000 * format_.samplesPerSec / 1000 * format_.blockAlign;
        break;
    }
    return 0;
}

// ---- record, stop ----------------------------------------------------------

std::uint32_t WaveAudioDevice::Record(KeywordReader& words) {
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    if (capture_) {
        if (captureFault_.load() == 0) return 0;
        // The last stream broke off: start a fresh one, appending.
        StopCapture();
    }
    StopPlayback();
    captureFault_.store(0);
    std::uint32_t error = 0;
    capture_ = StartInputCapture(error);
    if (!capture_) return error ? error : mcierr::kHardware;
    return 0;
}

std::uint32_t WaveAudioDevice::Stop(KeywordReader& words) {
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    if (capture_) return StopCapture();
    if (Playing()) {
        StopPlayback();
        return 0;
    }
    if (std::uint32_t fault = std::exchange(endedPlayFault_, 0)) return fault;
    return LengthBytes() > 0 ? 0 : mcierr::kNotRecordingOrPlaying;
}

std::uint32_t WaveAudioDevice::StopCapture() {
    capture_.reset();
    return captureFault_.exchange(0);
}

void WaveAudioDevice::Captured(const void* data, std::size_t bytes) {
    if (captureFault_.load(std::memory_order_relaxed) != 0) return;
    if (spool_.Append(data, bytes) != 0) CaptureFailed(mcierr::kSpoolFailed);
}

void WaveAudioDevice::CaptureFailed(std::uint32_t code) {
    std::uint32_t none = 0;
    captureFault_.compare_exchange_strong(none, code ? code : mcierr::kServerLost);
}

// ---- play ------------------------------------------------------------------

std::uint32_t WaveAudioDevice::Play(KeywordReader& words) {
    std::uint64_t length = LengthBytes();
    std::uint64_t from = 0, to = length;
    bool gotFrom = false, gotTo = false, wait = false;
    while (!words.AtEnd()) {
        std::uint64_t value = 0;
        bool* seen = nullptr;
        std::uint64_t* target = nullptr;
        if (words.Take("from")) seen = &gotFrom, target = &from;
        else if (words.Take("to")) seen = &gotTo, target = &to;
        else if (words.Take("wait")) {
            if (wait) return mcierr::kDuplicateFlags;
            wait = true;
            continue;
        } else return mcierr::kUnrecognizedKeyword;
        if (*seen) return mcierr::kDuplicateFlags;
        *seen = true;
        if (auto code = words.TakeNumber(value)) return code;
        if (auto code = ToBytes(value, *target)) return code;
    }
    if (capture_) {
        StopCapture();
        length = LengthBytes();
        if (!gotTo) to = length;
    }
    if (length == 0) return mcierr::kNothingRecorded;
    if (from > to || to > length) return mcierr::kOutOfRange;

    StopPlayback();
    playPosition_.store(from);
    playEnd_ = to;
    {
        std::lock_guard lock(playMutex_);
        playEnded_ = false;
        playFault_ = 0;
    }
    std::uint32_t error = 0;
    playback_ = backend_.StartPlayback(format_, *this, error);
    if (!playback_) return error ? error : mcierr::kHardware;
    if (wait) {
        std::unique_lock lock(playMutex_);
        playEndedSignal_.wait(lock, [this] { return playEnded_; });
        return playFault_;
    }
    return 0;
}

bool WaveAudioDevice::Playing() const {
    if (!playback_) return false;
    std::lock_guard lock(playMutex_);
    return !playEnded_;
}

void WaveAudioDevice::StopPlayback() {
    playback_.reset();
    endedPlayFault_ = 0;
}

void WaveAudioDevice::ReapPlayback() {
    // A playback that ended by itself keeps its stream until a command comes,
    // since the stream cannot be destroyed from its own thread.
    if (playback_ && !Playing()) {
        {
            std::lock_guard lock(playMutex_);
            endedPlayFault_ = playFault_;
        }
        playback_.reset();
    }
}

std::size_t WaveAudioDevice::Fill(void* data, std::size_t bytes) {
    std::uint64_t at = playPosition_.load();
    std::uint64_t left = playEnd_ > at ? playEnd_ - at : 0;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, bytes));
    want -= want % format_.blockAlign;
    if (want == 0) return 0;
    long long got = spool_.ReadAt(at, data, want);
    if (got <= 0) return 0;
    playPosition_.store(at + static_cast<std::uint64_t>(got));
    return static_cast<std::size_t>(got);
}

void WaveAudioDevice::PlaybackEnded(std::uint32_t code) {
    {
        std::lock_guard lock(playMutex_);
        playEnded_ = true;
        playFault_ = code;
    }
    playEndedSignal_.notify_all();
}

// ---- save ------------------------------------------------------------------

std::uint32_t WaveAudioDevice::Save(std::string path) {
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    if (path.empty()) return mcierr::kFilenameRequired;
    // While recording this is what has arrived so far; recording goes on.
    std::uint64_t bytes = LengthBytes();
    if (bytes == 0) return mcierr::kNothingRecorded;
    return WriteWaveFile(path, format_, spool_, bytes);
}

}  // namespace tapelark
