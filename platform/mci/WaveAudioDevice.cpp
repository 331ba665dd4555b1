// SPDX-License-Identifier: MIT
#include "platform/mci/WaveAudioDevice.h"

#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "common/AsciiText.h"
#include "platform/mci/MciCommandParser.h"
#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveFileWriter.h"

namespace tapelark {

namespace {

constexpr std::uint64_t kNoLimit = ~std::uint64_t{0};

std::string Bool(bool b) { return b ? "true" : "false"; }

// The loudest sample of a piece: the level. It runs over every byte recorded,
// so it keeps to the sample's own width, where the loops vectorise.
std::uint32_t Peak(const void* data, std::size_t bytes, int bits) {
    if (bits == 16) {
        const auto* s = static_cast<const std::int16_t*>(data);
        std::int16_t low = 0, high = 0;
        for (std::size_t i = 0; i < bytes / 2; ++i) low = std::min(low, s[i]), high = std::max(high, s[i]);
        return static_cast<std::uint32_t>(std::max(-low, static_cast<int>(high)));
    }
    const auto* s = static_cast<const std::uint8_t*>(data);
    std::uint8_t low = 128, high = 128;
    for (std::size_t i = 0; i < bytes; ++i) low = std::min(low, s[i]), high = std::max(high, s[i]);
    return static_cast<std::uint32_t>(std::max(128 - low, high - 128));
}

std::string FullPath(const std::string& path) {
    std::error_code ec;
    auto full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

}  // namespace

WaveAudioDevice::WaveAudioDevice(AudioBackend& backend, Notifier notifier)
    : backend_(backend), notifier_(std::move(notifier)) {}

WaveAudioDevice::~WaveAudioDevice() {
    capture_.reset();
    playback_.reset();
    writer_.reset();
}

std::uint32_t WaveAudioDevice::Open() { return spool_.Create(); }

std::uint32_t WaveAudioDevice::OpenFile(const std::string& path) {
    SF_INFO info{};
    SNDFILE* sf = sf_open(path.c_str(), SFM_READ, &info);
    if (!sf) {
        // libsndfile cannot tell a missing file from a foreign one; the file system can.
        std::error_code ec;
        return std::filesystem::is_regular_file(path, ec) ? mcierr::kInvalidFile : mcierr::kFileNotFound;
    }
    int major = info.format & SF_FORMAT_TYPEMASK, minor = info.format & SF_FORMAT_SUBMASK;
    WaveFormat f;
    f.channels = static_cast<std::uint16_t>(info.channels);
    f.bitsPerSample = minor == SF_FORMAT_PCM_U8 ? 8 : 16;
    f.samplesPerSec = static_cast<std::uint32_t>(info.samplerate);
    f.blockAlign = static_cast<std::uint16_t>(f.channels * f.bitsPerSample / 8);
    f.bytesPerSec = f.samplesPerSec * f.blockAlign;
    bool wave = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
    bool pcm = minor == SF_FORMAT_PCM_U8 || minor == SF_FORMAT_PCM_16;
    std::uint32_t code = wave && pcm && CheckWaveFormat(f) == 0 ? spool_.Create() : mcierr::kInvalidFile;
    std::vector<char> buffer(1 << 20);
    buffer.resize(buffer.size() - buffer.size() % f.blockAlign);
    while (code == 0) {
        sf_count_t n = sf_read_raw(sf, buffer.data(), static_cast<sf_count_t>(buffer.size()));
        if (n < 0) code = mcierr::kFileRead;
        if (n <= 0) break;
        if (spool_.Append(buffer.data(), static_cast<std::size_t>(n)) != 0) code = mcierr::kSpoolFailed;
    }
    sf_close(sf);
    if (code != 0) return code;
    format_ = f;
    element_ = FullPath(path);
    return 0;
}

void WaveAudioDevice::Close() {
    EndPending(MciNotify::Aborted);
    StopAll();
}

bool WaveAudioDevice::Busy() {
    ReapStreams();
    return Recording() || Playing() || paused_ != Paused::No;
}

std::uint32_t WaveAudioDevice::Execute(const MciCommand& command, std::string& reply, std::uintptr_t callback) {
    ReapStreams();
    // A new request to notify takes the place of the one still pending.
    if (command.notify) EndPending(MciNotify::Superseded);
    KeywordReader words(command.words);
    const std::string& verb = command.verb;
    bool async = false;  // the command notifies when its sound ends
    std::uint32_t code = mcierr::kUnrecognizedCommand;
    if (verb == "set" && IsInputSetting(command)) code = SetInput(command);
    else if (verb == "set") code = Set(words);
    else if (verb == "status") code = Status(words, reply);
    else if (verb == "capability") code = Capability(words, reply);
    else if (verb == "info") code = Info(words, reply);
    else if (verb == "record") code = Record(words, command, callback, async);
    else if (verb == "play") code = Play(words, command, callback, async);
    else if (verb == "stop") code = Stop(words);
    else if (verb == "seek") code = Seek(words);
    else if (verb == "pause") code = Pause(words);
    else if (verb == "resume") code = Resume(words);
    else if (verb == "cue") code = Cue(words);
    else if (verb == "delete") code = Delete(words);
    else if (verb == "save") code = Save(command.rest);
    if (code == 0 && command.notify && callback != 0 && !async) notifier_(callback, MciNotify::Successful);
    return code;
}

// ---- notifications -----------------------------------------------------------

void WaveAudioDevice::SetPending(std::uintptr_t callback) {
    std::lock_guard lock(asyncMutex_);
    pendingCallback_ = callback;
}

void WaveAudioDevice::EndPending(MciNotify result) {
    std::uintptr_t callback = 0;
    {
        std::lock_guard lock(asyncMutex_);
        callback = std::exchange(pendingCallback_, 0);
    }
    if (callback != 0) notifier_(callback, result);
}

// ---- set -------------------------------------------------------------------

std::uint32_t WaveAudioDevice::SetTimeFormat(KeywordReader& words, TimeFormat& format) {
    std::string value;
    if (!words.TakeWord(value)) return mcierr::kMissingParameter;
    value = AsciiLowerCase(value);
    std::uint64_t number = 0;
    bool numeric = ParseMciNumber(value, number);
    // winmm's numbers for its formats: 0 milliseconds, 8 bytes, 9 samples.
    if (value == "ms" || value == "milliseconds" || (numeric && number == 0)) format = TimeFormat::Milliseconds;
    else if (value == "bytes" || (numeric && number == 8)) format = TimeFormat::Bytes;
    else if (value == "samples" || (numeric && number == 9)) format = TimeFormat::Samples;
    else if (numeric || value == "hms" || value == "msf" || value == "tmsf" || value == "frames" ||
             value == "smpte" || value == "songpointer")
        return mcierr::kBadTimeFormat;  // formats of other device types
    else return mcierr::kBadConstant;
    if (value == "smpte") words.Take("24") || words.Take("25") || words.Take("30 drop") || words.Take("30");
    return 0;
}

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
            code = SetTimeFormat(words, timeFormat);
        } else if (words.Take("format tag")) {
            if (gotTag) return mcierr::kDuplicateFlags;
            gotTag = true;
            std::string value;
            if (!words.TakeWord(value)) return mcierr::kMissingParameter;
            value = AsciiLowerCase(value);
            std::uint64_t tag = 0;
            if (ParseMciNumber(value, tag)) code = tag == 1 ? 0 : mcierr::kOutOfRange;  // PCM only
            else if (value != "pcm") code = mcierr::kBadConstant;
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

// ---- status, capability, info ------------------------------------------------

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
    if (words.Take("mode")) answer = Mode();
    else if (words.Take("length") || words.Take("position")) {
        bool position = AsciiLowerCase(words.Previous()) == "position";
        std::uint64_t bytes = position ? PositionBytes() : LengthBytes();
        // Sound a capture holds back for late arrivals counts: the length keeps up with the clock.
        if (Recording() && !tail_)
            bytes += std::min(capture_->HeldBackBytes(), recordLimit_.load() - writer_->Total()) /
                     format_.blockAlign * format_.blockAlign;
        if (auto code = track(bytes, position)) return code;
        answer = std::to_string(FromBytes(bytes));
    }
    else if (words.Take("start position")) answer = "0";
    else if (words.Take("number of tracks")) answer = "1";
    else if (words.Take("current track")) answer = "1";
    else if (words.Take("ready"))
        answer = Bool(captureFault_.load() == 0 && !(capture_ && capture_->Away()) && !(writer_ && writer_->Error()));
    else if (words.Take("media present")) answer = "true";
    else if (words.Take("level")) answer = std::to_string(Recording() || Playing() ? level_.load() : 0);
    else if (words.Take("output")) return mcierr::kWaveOutputUnspecified;
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
    else if (words.Take("input")) answer = InputStatus();
    else return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

std::uint32_t WaveAudioDevice::Capability(KeywordReader& words, std::string& reply) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    std::string answer;
    if (words.Take("can eject")) answer = "false";
    else if (words.Take("can play") || words.Take("can record") || words.Take("can save") ||
             words.Take("compound device") || words.Take("has audio") || words.Take("uses files"))
        answer = "true";
    else if (words.Take("has video")) answer = "false";
    else if (words.Take("device type")) answer = "waveaudio";
    else if (words.Take("inputs") || words.Take("outputs")) answer = "1";  // the server's default source/sink
    else return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

std::uint32_t WaveAudioDevice::Info(KeywordReader& words, std::string& reply) {
    if (words.AtEnd()) return mcierr::kMissingParameter;
    std::string answer;
    if (words.Take("product")) answer = "Tapelark waveaudio over PulseAudio";
    else if (words.Take("file")) {
        if (element_.empty()) return mcierr::kNonapplicableFunction;  // until opened or saved
        answer = element_;
    } else return mcierr::kUnrecognizedKeyword;
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    reply = answer;
    return 0;
}

bool WaveAudioDevice::Recording() const { return capture_ && !recordDone_.load(); }

std::string WaveAudioDevice::Mode() const {
    // Written out first, so a full disk shows at once.
    if (Recording()) return captureFault_.load() || capture_->Away() || writer_->Flush() ? "not ready" : "recording";
    if (Playing()) return "playing";
    if (paused_ != Paused::No) return "paused";
    return "stopped";
}

std::uint64_t WaveAudioDevice::PositionBytes() const {
    if (capture_) return recordStart_ + writer_->Total() / format_.blockAlign * format_.blockAlign;
    return position_.load();
}

std::uint64_t WaveAudioDevice::LengthBytes() const {
    std::uint64_t size = spool_.Size();
    if (capture_) {
        std::uint64_t recorded = writer_->Total(), tail = tail_ ? tail_->Size() : 0;
        size = recordStart_ + (overwrite_ ? std::max(recorded, tail) : recorded + tail);
    }
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
        // Up to the next whole sample, so a position set in ms reads back as set.
        bytes = value / 1000 * format_.bytesPerSec +
                (value % 1000 * format_.samplesPerSec + 999) / 1000 * format_.blockAlign;
        break;
    }
    return 0;
}

std::uint32_t WaveAudioDevice::TakePosition(KeywordReader& words, bool& seen, std::uint64_t& bytes) const {
    if (seen) return mcierr::kDuplicateFlags;
    seen = true;
    std::uint64_t value = 0;
    if (auto code = words.TakeNumber(value)) return code;
    return ToBytes(value, bytes);
}

// ---- record ----------------------------------------------------------------

std::uint32_t WaveAudioDevice::Record(KeywordReader& words, const MciCommand& command, std::uintptr_t callback,
                                      bool& async) {
    std::uint64_t from = 0, to = 0;
    bool gotFrom = false, gotTo = false, insert = false, overwrite = false;
    while (!words.AtEnd()) {
        std::uint32_t code = 0;
        if (words.Take("from")) code = TakePosition(words, gotFrom, from);
        else if (words.Take("to")) code = TakePosition(words, gotTo, to);
        else if (words.Take("insert")) insert = true;
        else if (words.Take("overwrite")) overwrite = true;
        else return mcierr::kUnrecognizedKeyword;
        if (code != 0) return code;
    }
    if (insert && overwrite) return mcierr::kFlagsNotCompatible;
    bool plain = !gotFrom && !gotTo && !insert && !overwrite;
    if (Recording() && captureFault_.load() == 0 && !writer_->Error() && plain) {
        if (command.notify) SetPending(callback), async = true;
        return 0;  // already recording
    }
    if (paused_ == Paused::Record && plain) {
        KeywordReader none(command.words);
        std::uint32_t code = Resume(none);
        if (code == 0 && command.notify) SetPending(callback), async = true;
        return code;
    }
    if (capture_) StopCapture();  // broke off, or to start anew with other bounds
    std::uint64_t length = LengthBytes();
    std::uint64_t at = gotFrom ? from : position_.load();
    if (at > length) return mcierr::kOutOfRange;
    if (gotTo && to < at) return mcierr::kOutOfRange;
    if (!command.notify) EndPending(MciNotify::Aborted);
    StopPlayback();
    paused_ = Paused::No;
    position_.store(at);
    if (gotTo && to == at) return 0;
    std::uint64_t limit = gotTo ? to - at : kNoLimit;
    if (std::uint32_t code = StartRecording(at, limit, overwrite)) return code;
    if (command.notify) SetPending(callback), async = true;
    if (command.wait && gotTo) {
        // Without an end the wait would never end; winmm's break key has no counterpart here.
        std::unique_lock lock(asyncMutex_);
        endedSignal_.wait(lock, [this] { return recordDone_.load() || captureFault_.load() != 0; });
        lock.unlock();
        return StopCapture();
    }
    return 0;
}

std::uint32_t WaveAudioDevice::StartRecording(std::uint64_t at, std::uint64_t limit, bool overwrite) {
    std::uint64_t length = LengthBytes();
    if (at < length) {
        // Whatever lies after the position waits aside until the recording ends.
        auto tail = std::make_unique<SpoolFile>();
        if (tail->Create() != 0 || tail->AppendFrom(spool_, at, length - at) != 0) return mcierr::kSpoolFailed;
        if (spool_.Truncate(at) != 0) return mcierr::kSpoolFailed;
        tail_ = std::move(tail);
    }
    overwrite_ = overwrite;
    recordStart_ = at;
    recordLimit_.store(limit);
    recordDone_.store(false);
    captureFault_.store(0);
    writer_ = std::make_unique<SpoolWriter>(spool_);
    std::uint32_t error = 0;
    capture_ = StartInputCapture(error);
    if (!capture_) {
        StopCapture();
        return error ? error : mcierr::kHardware;
    }
    return 0;
}

std::uint32_t WaveAudioDevice::StopCapture() {
    // A capture that waits for the server to come back ends with that cause.
    if (capture_ && capture_->Away()) CaptureFailed(mcierr::kServerLost);
    capture_.reset();
    if (!writer_) return captureFault_.exchange(0);
    if (writer_->Flush() != 0) CaptureFailed(mcierr::kSpoolFailed);
    writer_.reset();
    std::uint64_t recorded = spool_.Size() - recordStart_;
    if (tail_) {
        std::uint64_t skip = overwrite_ ? std::min(recorded, tail_->Size()) : 0;
        if (spool_.AppendFrom(*tail_, skip, tail_->Size() - skip) != 0) CaptureFailed(mcierr::kSpoolFailed);
        tail_.reset();
    }
    position_.store(recordStart_ + recorded - recorded % format_.blockAlign);
    recordDone_.store(false);
    return captureFault_.exchange(0);
}

void WaveAudioDevice::Captured(const void* data, std::size_t bytes) {
    if (captureFault_.load(std::memory_order_relaxed) != 0 || recordDone_.load(std::memory_order_relaxed)) return;
    std::uint64_t left = recordLimit_.load(std::memory_order_relaxed) - writer_->Total();
    std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, bytes));
    level_.store(Peak(data, take, format_.bitsPerSample), std::memory_order_relaxed);
    writer_->Append(data, take);
    if (take < bytes || left == take) {
        {
            std::lock_guard lock(asyncMutex_);
            recordDone_.store(true);
        }
        endedSignal_.notify_all();
        EndPending(MciNotify::Successful);
    }
}

void WaveAudioDevice::CaptureFailed(std::uint32_t code) {
    std::uint32_t none = 0;
    {
        std::lock_guard lock(asyncMutex_);
        captureFault_.compare_exchange_strong(none, code ? code : mcierr::kServerLost);
    }
    endedSignal_.notify_all();
    EndPending(MciNotify::Failure);
}

// ---- play ------------------------------------------------------------------

std::uint32_t WaveAudioDevice::Play(KeywordReader& words, const MciCommand& command, std::uintptr_t callback,
                                    bool& async) {
    std::uint64_t from = 0, to = 0;
    bool gotFrom = false, gotTo = false;
    while (!words.AtEnd()) {
        std::uint32_t code = 0;
        if (words.Take("from")) code = TakePosition(words, gotFrom, from);
        else if (words.Take("to")) code = TakePosition(words, gotTo, to);
        else return mcierr::kUnrecognizedKeyword;
        if (code != 0) return code;
    }
    if (capture_) StopCapture();  // play ends a recording first
    std::uint64_t length = LengthBytes();
    if (length == 0) return mcierr::kNothingRecorded;
    std::uint64_t start = gotFrom ? from : position_.load();
    std::uint64_t end = gotTo ? to : paused_ == Paused::Play && !gotFrom ? playEnd_.load() : length;
    // Neither past the end nor backwards from the position.
    if (start > length || end > length || start > end) return mcierr::kOutOfRange;
    if (!command.notify) EndPending(MciNotify::Aborted);
    StopPlayback();
    paused_ = Paused::No;
    position_.store(start);
    playEnd_.store(end);
    if (start == end) return 0;
    if (command.notify) SetPending(callback);
    if (std::uint32_t code = StartPlaying(start, end)) {
        SetPending(0);
        return code;
    }
    async = command.notify;
    if (command.wait) {
        std::unique_lock lock(asyncMutex_);
        endedSignal_.wait(lock, [this] { return playEnded_; });
        return playFault_;
    }
    return 0;
}

std::uint32_t WaveAudioDevice::StartPlaying(std::uint64_t from, std::uint64_t to) {
    position_.store(from);
    playEnd_.store(to);
    {
        std::lock_guard lock(asyncMutex_);
        playEnded_ = false;
        playFault_ = 0;
    }
    std::uint32_t error = 0;
    playback_ = backend_.StartPlayback(format_, *this, error);
    if (!playback_) return error ? error : mcierr::kHardware;
    return 0;
}

bool WaveAudioDevice::Playing() const {
    if (!playback_) return false;
    std::lock_guard lock(asyncMutex_);
    return !playEnded_;
}

void WaveAudioDevice::StopPlayback() {
    playback_.reset();
    endedPlayFault_ = 0;
}

void WaveAudioDevice::StopAll() {
    if (capture_) StopCapture();
    StopPlayback();
    paused_ = Paused::No;
}

void WaveAudioDevice::ReapStreams() {
    // A stream that ended by itself is released at the next command, since it
    // cannot be destroyed from its own thread.
    if (playback_ && !Playing()) {
        {
            std::lock_guard lock(asyncMutex_);
            endedPlayFault_ = playFault_;
        }
        playback_.reset();
    }
    if (capture_ && recordDone_.load()) StopCapture();
}

std::size_t WaveAudioDevice::Fill(void* data, std::size_t bytes) {
    std::uint64_t at = position_.load();
    std::uint64_t end = playEnd_.load();
    std::uint64_t left = end > at ? end - at : 0;
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, bytes));
    want -= want % format_.blockAlign;
    if (want == 0) return 0;
    long long got = spool_.ReadAt(at, data, want);
    if (got <= 0) return 0;
    position_.store(at + static_cast<std::uint64_t>(got));
    level_.store(Peak(data, static_cast<std::size_t>(got), format_.bitsPerSample), std::memory_order_relaxed);
    return static_cast<std::size_t>(got);
}

void WaveAudioDevice::PlaybackEnded(std::uint32_t code) {
    {
        std::lock_guard lock(asyncMutex_);
        playEnded_ = true;
        playFault_ = code;
    }
    endedSignal_.notify_all();
    EndPending(code == 0 ? MciNotify::Successful : MciNotify::Failure);
}

// ---- stop, seek, pause, resume, cue, delete ----------------------------------

std::uint32_t WaveAudioDevice::Stop(KeywordReader& words) {
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    EndPending(MciNotify::Aborted);
    paused_ = Paused::No;
    if (capture_) return StopCapture();
    if (Playing()) {
        StopPlayback();
        return 0;
    }
    return std::exchange(endedPlayFault_, 0);
}

std::uint32_t WaveAudioDevice::Seek(KeywordReader& words) {
    int targets = 0;
    std::uint64_t to = 0;
    bool toEnd = false, gotTo = false;
    while (!words.AtEnd()) {
        std::uint32_t code = 0;
        if (words.Take("to start")) ++targets, to = 0;
        else if (words.Take("to end")) ++targets, toEnd = true;
        else if (words.Take("to")) ++targets, code = TakePosition(words, gotTo, to);
        else return mcierr::kUnrecognizedKeyword;
        if (code != 0) return code;
    }
    if (targets == 0) return mcierr::kMissingParameter;
    if (targets > 1) return mcierr::kFlagsNotCompatible;
    EndPending(MciNotify::Aborted);
    StopAll();
    std::uint64_t length = LengthBytes();
    if (toEnd) to = length;
    if (to > length) return mcierr::kOutOfRange;
    position_.store(to);
    return 0;
}

std::uint32_t WaveAudioDevice::Pause(KeywordReader& words) {
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    if (paused_ != Paused::No) return 0;
    // The pending notification stays: it belongs to the play that resume continues.
    std::uintptr_t pending = 0;
    {
        std::lock_guard lock(asyncMutex_);
        pending = std::exchange(pendingCallback_, 0);
    }
    std::uint32_t code = 0;
    if (Recording()) {
        code = StopCapture();
        paused_ = Paused::Record;
    } else if (Playing()) {
        StopPlayback();
        paused_ = Paused::Play;
    } else {
        code = mcierr::kNonapplicableFunction;
    }
    SetPending(pending);
    return code;
}

std::uint32_t WaveAudioDevice::Resume(KeywordReader& words) {
    if (!words.AtEnd()) return mcierr::kUnrecognizedKeyword;
    if (Recording() || Playing()) return 0;
    std::uint32_t code = 0;
    if (paused_ == Paused::Play) {
        code = StartPlaying(position_.load(), playEnd_.load());
    } else if (paused_ == Paused::Record) {
        code = StartRecording(position_.load(), recordLimit_.load() == kNoLimit ? kNoLimit
                              : recordLimit_.load() - std::min(recordLimit_.load(), position_.load() - recordStart_),
                              overwrite_);
    } else {
        return mcierr::kNonapplicableFunction;
    }
    if (code == 0) paused_ = Paused::No;
    return code;
}

std::uint32_t WaveAudioDevice::Cue(KeywordReader& words) {
    bool input = false, output = false;
    while (!words.AtEnd()) {
        if (words.Take("input")) input = true;
        else if (words.Take("output")) output = true;
        else return mcierr::kUnrecognizedKeyword;
    }
    if (input && output) return mcierr::kFlagsNotCompatible;
    // Streams start fast enough that there is nothing to prepare.
    if (Recording() || Playing() || paused_ != Paused::No) return mcierr::kNonapplicableFunction;
    return 0;
}

std::uint32_t WaveAudioDevice::Delete(KeywordReader& words) {
    std::uint64_t from = 0, to = 0;
    bool gotFrom = false, gotTo = false;
    while (!words.AtEnd()) {
        std::uint32_t code = 0;
        if (words.Take("from")) code = TakePosition(words, gotFrom, from);
        else if (words.Take("to")) code = TakePosition(words, gotTo, to);
        else return mcierr::kUnrecognizedKeyword;
        if (code != 0) return code;
    }
    if (Recording() || Playing() || paused_ != Paused::No) return mcierr::kNonapplicableFunction;
    std::uint64_t length = LengthBytes();
    if (!gotFrom) from = position_.load();  // from the position to the end by default
    if (!gotTo) to = length;
    if (from > to || to > length) return mcierr::kOutOfRange;
    if (spool_.Remove(from, to) != 0) return mcierr::kSpoolFailed;
    position_.store(from);
    return 0;
}

// ---- save ------------------------------------------------------------------

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
