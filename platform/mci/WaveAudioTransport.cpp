// SPDX-License-Identifier: MIT
// The waveaudio device's transport: record, play, pause, resume, seek, cue,
// delete and stop, the pending notification, and the backend's callbacks.
#include <algorithm>
#include <utility>

#include "platform/mci/MciErrors.h"
#include "platform/mci/WaveAudioDevice.h"

namespace tapelark {

namespace {

constexpr std::uint64_t kNoLimit = ~std::uint64_t{0};

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

}  // namespace

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

bool WaveAudioDevice::Recording() const { return capture_ && !recordDone_.load(); }

std::string WaveAudioDevice::Mode() const {
    // Written out first, so a full disk shows at once.
    if (Recording()) return captureFault_.load() || capture_->Away() || writer_->Flush() ? "not ready" : "recording";
    if (Playing()) return "playing";
    if (paused_ != Paused::No) return "paused";
    return "stopped";
}

std::uint64_t WaveAudioDevice::RecordedBytes() const {
    // Past a write error only what reached the spool is kept.
    std::uint64_t bytes = writer_->Error() ? spool_.Size() - recordStart_ : writer_->Total();
    return bytes - bytes % format_.blockAlign;
}

std::uint64_t WaveAudioDevice::PositionBytes() const {
    if (capture_) return recordStart_ + RecordedBytes();
    if (PlayStreamLive()) return HeardPosition();
    return position_.load();
}

std::uint64_t WaveAudioDevice::HeardPosition() const {
    // What has been handed to the server is ahead of what was heard by the
    // server's buffer; a stream that cannot tell has it heard at once.
    const std::uint64_t handed = position_.load();
    const std::optional<std::uint64_t> played = playback_ ? playback_->PlayedBytes() : std::nullopt;
    if (!played) return handed;
    return std::min(handed, playStart_ + *played - *played % format_.blockAlign);
}

std::uint64_t WaveAudioDevice::LengthBytes() const {
    std::uint64_t size = spool_.Size();
    if (capture_) {
        std::uint64_t recorded = RecordedBytes(), tail = tail_ ? tail_->Size() : 0;
        size = recordStart_ + (overwrite_ ? std::max(recorded, tail) : recorded + tail);
    }
    return size - size % format_.blockAlign;
}

std::uint32_t WaveAudioDevice::Transport(MciVerb verb, Request& request) {
    switch (verb) {
        case MciVerb::Record: return Record(request);
        case MciVerb::Play: return Play(request);
        case MciVerb::Stop: return Stop(request);
        case MciVerb::Pause: return Pause(request);
        case MciVerb::Resume: return Resume(request);
        case MciVerb::Seek: return Seek(request);
        case MciVerb::Cue: return Cue(request);
        case MciVerb::Delete: return Delete(request);
        default: return mcierr::kUnrecognizedCommand;
    }
}

void WaveAudioDevice::Begin(const Request& request) {
    // A new request to notify takes the place of the one still pending.
    if (request.notify) EndPending(MciNotify::Superseded);
}

// ---- record ----------------------------------------------------------------

std::uint32_t WaveAudioDevice::Record(Request& request) {
    const Flags& f = request.flags;
    if (f.insert && f.overwrite) return mcierr::kFlagsNotCompatible;
    const bool plain = !f.from && !f.to && !f.insert && !f.overwrite;
    if (plain && Recording() && captureFault_.load() == 0 && !writer_->Error()) {
        Begin(request);
        if (request.notify) SetPending(request.callback), request.async = true;
        return 0;  // already recording
    }
    if (plain && paused_ == Paused::Record) {
        const std::uint32_t code = Resume(request);
        if (code == 0 && request.notify) SetPending(request.callback), request.async = true;
        return code;
    }
    const std::uint64_t length = LengthBytes();
    if (f.from && *f.from > length) return mcierr::kOutOfRange;
    if (f.to && *f.to < f.from.value_or(PositionBytes())) return mcierr::kOutOfRange;
    Begin(request);
    if (capture_) StopCapture();  // broke off, or to start anew with other bounds
    if (!request.notify) EndPending(MciNotify::Aborted);
    StopPlayback();
    const std::uint64_t at = f.from.value_or(position_.load());
    paused_ = Paused::No;
    position_.store(at);
    if (f.to && *f.to <= at) return 0;
    std::uint64_t limit = f.to ? *f.to - at : kNoLimit;
    // Pending before the capture starts: its first delivery may already reach the end.
    if (request.notify) SetPending(request.callback);
    if (std::uint32_t code = StartRecording(at, limit, f.overwrite)) {
        SetPending(0);
        return code;
    }
    request.async = request.notify;
    if (request.wait && f.to) {
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
        if (std::uint32_t code = tail->Create()) return code;
        if (int error = tail->AppendFrom(spool_, at, length - at)) return mcierr::FromSpoolErrno(error);
        if (int error = spool_.Truncate(at)) return mcierr::FromSpoolErrno(error);
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
    if (kept_) {
        const bool program = recordingInput_.kind == CaptureInput::Kind::Program;
        kept_->Describe(format_, DescribeInput(recordingInput_) + (program ? " " + recordingProgram_.nameTail : ""),
                        at == 0 && !tail_);
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
    if (captureFault_.load(std::memory_order_relaxed) != 0 || recordDone_.load(std::memory_order_relaxed))
        return;
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

std::uint32_t WaveAudioDevice::Play(Request& request) {
    const Flags& f = request.flags;
    const std::uint64_t length = LengthBytes();
    if (length == 0) return mcierr::kNothingRecorded;
    const bool goOn = paused_ == Paused::Play && !f.from;  // a paused play ends where it was to end
    std::uint64_t start = f.from.value_or(PositionBytes());
    std::uint64_t end = f.to ? *f.to : goOn ? playEnd_.load() : length;
    // Neither past the end nor backwards from the position.
    if (start > length || end > length || start > end) return mcierr::kOutOfRange;
    Begin(request);
    if (capture_) {
        StopCapture();  // play ends a recording first; it may have grown meanwhile
        if (!f.from) start = position_.load();
        if (!f.to) end = std::max(start, LengthBytes());
    }
    if (!request.notify) EndPending(MciNotify::Aborted);
    StopPlayback();
    if (!f.from) start = std::min(position_.load(), end);  // where the stopped play was heard
    paused_ = Paused::No;
    position_.store(start);
    playEnd_.store(end);
    if (start == end) return 0;
    if (request.notify) SetPending(request.callback);
    if (std::uint32_t code = StartPlaying(start, end)) {
        SetPending(0);
        return code;
    }
    request.async = request.notify;
    if (request.wait) {
        std::unique_lock lock(asyncMutex_);
        endedSignal_.wait(lock, [this] { return playEnded_; });
        return playFault_;
    }
    return 0;
}

std::uint32_t WaveAudioDevice::StartPlaying(std::uint64_t from, std::uint64_t to) {
    position_.store(from);
    playStart_ = from;
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

bool WaveAudioDevice::PlayStreamLive() const {
    if (!playback_) return false;
    std::lock_guard lock(asyncMutex_);
    return !playEnded_;
}

bool WaveAudioDevice::Playing() const { return paused_ != Paused::Play && PlayStreamLive(); }

void WaveAudioDevice::StopPlayback() {
    // What was handed out but not heard is played again from there. Once the
    // stream is gone nothing moves the position on.
    const bool live = PlayStreamLive();
    const std::uint64_t heard = live ? HeardPosition() : 0;
    playback_.reset();
    if (live) position_.store(heard);
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
    if (playback_ && !PlayStreamLive()) {
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

std::uint32_t WaveAudioDevice::Stop(Request& request) {
    Begin(request);
    EndPending(MciNotify::Aborted);
    paused_ = Paused::No;
    if (capture_) return StopCapture();
    if (Playing()) {
        StopPlayback();
        return 0;
    }
    return std::exchange(endedPlayFault_, 0);
}

std::uint32_t WaveAudioDevice::Seek(Request& request) {
    const Flags& f = request.flags;
    const int targets = f.toStart + f.toEnd + f.to.has_value();
    if (targets == 0) return mcierr::kMissingParameter;
    if (targets > 1) return mcierr::kFlagsNotCompatible;
    if (f.to && *f.to > LengthBytes()) return mcierr::kOutOfRange;
    Begin(request);
    EndPending(MciNotify::Aborted);
    StopAll();
    position_.store(f.toEnd ? LengthBytes() : f.to.value_or(0));
    return 0;
}

std::uint32_t WaveAudioDevice::Pause(Request& request) {
    if (paused_ == Paused::No && !Recording() && !Playing()) return mcierr::kNonapplicableFunction;
    Begin(request);
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
    } else {
        // Held in the server, nothing it holds is lost and what was heard
        // stays the position; a stream that cannot be held is ended.
        if (!playback_->Pause(true)) StopPlayback();
        paused_ = Paused::Play;
    }
    SetPending(pending);
    return code;
}

std::uint32_t WaveAudioDevice::Resume(Request& request) {
    if (paused_ == Paused::No && !Recording() && !Playing()) return mcierr::kNonapplicableFunction;
    Begin(request);
    if (Recording() || Playing()) return 0;
    std::uint32_t code = 0;
    if (paused_ == Paused::Play) {
        if (!PlayStreamLive() || !playback_->Pause(false)) {
            // Started anew where it was heard; a play that ended meanwhile has nothing left.
            if (playback_) StopPlayback();
            const std::uint64_t from = position_.load(), to = playEnd_.load();
            if (from < to) code = StartPlaying(from, to);
            else EndPending(MciNotify::Successful);
        }
    } else {
        const std::uint64_t limit = recordLimit_.load();
        code = StartRecording(
            position_.load(),
            limit == kNoLimit ? kNoLimit : limit - std::min(limit, position_.load() - recordStart_),
            overwrite_);
    }
    if (code == 0) paused_ = Paused::No;
    return code;
}

std::uint32_t WaveAudioDevice::Cue(Request& request) {
    if (request.flags.input && request.flags.output) return mcierr::kFlagsNotCompatible;
    // Streams start fast enough that there is nothing to prepare.
    if (Recording() || Playing() || paused_ != Paused::No) return mcierr::kNonapplicableFunction;
    Begin(request);
    return 0;
}

std::uint32_t WaveAudioDevice::Delete(Request& request) {
    if (Recording() || Playing() || paused_ != Paused::No) return mcierr::kNonapplicableFunction;
    const std::uint64_t length = LengthBytes();
    // From the position to the end by default.
    const std::uint64_t from = request.flags.from.value_or(position_.load());
    const std::uint64_t to = request.flags.to.value_or(length);
    if (from > to || to > length) return mcierr::kOutOfRange;
    Begin(request);
    if (int error = spool_.Remove(from, to)) return mcierr::FromSpoolErrno(error);
    position_.store(from);
    return 0;
}

}  // namespace tapelark
