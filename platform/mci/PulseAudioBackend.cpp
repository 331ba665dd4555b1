// SPDX-License-Identifier: MIT
#include "platform/mci/PulseAudioBackend.h"

#include <algorithm>

#include "platform/mci/MciErrors.h"
#include "platform/mci/PulseConnection.h"
#include "platform/mci/PulseMonitorCapture.h"
#include "platform/mci/PulseSourceCapture.h"

namespace tapelark {

namespace {

// Plays to the default sink. Its callbacks run on the loop's thread with the
// loop locked; the destructor takes the same lock, so once it has returned
// no callback is running or will run.
class Playback final : public AudioStream {
public:
    Playback(std::shared_ptr<PulseConnection> connection, PlaybackSource& source)
        : connection_(std::move(connection)), source_(source) {}

    ~Playback() override {
        connection_->Lock();
        if (drain_) {
            pa_operation_cancel(drain_);
            pa_operation_unref(drain_);
        }
        PulseConnection::Dispose(stream_);
        connection_->Unlock();
    }

    std::optional<std::uint64_t> PlayedBytes() const override {
        connection_->Lock();
        pa_usec_t played = 0;
        bool known = stream_ && pa_stream_get_time(stream_, &played) == 0;
        std::uint64_t bytes = known ? pa_usec_to_bytes(played, pa_stream_get_sample_spec(stream_)) : 0;
        // Held, what the sink has taken for good is what was heard; the
        // clock's estimate froze at the moment the pause was asked for.
        const pa_timing_info* timing = corked_ ? pa_stream_get_timing_info(stream_) : nullptr;
        if (timing && !timing->read_index_corrupt && timing->read_index >= 0)
            known = true, bytes = static_cast<std::uint64_t>(timing->read_index);
        connection_->Unlock();
        if (!known) return std::nullopt;
        return bytes;
    }

    // Corked, the server keeps what it holds and the stream's clock stands
    // where the sound stopped.
    bool Pause(bool paused) override {
        connection_->Lock();
        bool done = stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY &&
                    Answered(pa_stream_cork(stream_, paused ? 1 : 0, OnAnswer, &answer_));
        // Fresh timing, so that the position read next is where it stopped.
        if (done) corked_ = paused && Answered(pa_stream_update_timing_info(stream_, OnAnswer, &answer_));
        connection_->Unlock();
        return done;
    }

    // Locked. 0 once the stream runs, else an MCI error.
    std::uint32_t Start(const WaveFormat& format) {
        stream_ = connection_->NewStream("Tapelark playback", format);
        if (!stream_) return connection_->StreamError(false);
        pa_stream_set_state_callback(stream_, OnState, this);
        pa_stream_set_write_callback(stream_, OnWrite, this);
        pa_buffer_attr attr{};
        attr.maxlength = attr.prebuf = attr.minreq = attr.fragsize = static_cast<std::uint32_t>(-1);
        attr.tlength = format.bytesPerSec / 4 / format.blockAlign * format.blockAlign;
        // Timing kept up to date, so the position can be what was heard.
        const auto flags = PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE;
        if (pa_stream_connect_playback(stream_, nullptr, &attr, static_cast<pa_stream_flags_t>(flags), nullptr,
                                       nullptr) < 0)
            return connection_->StreamError(false);
        bool answered = connection_->Wait([this] {
            pa_stream_state_t s = pa_stream_get_state(stream_);
            return s == PA_STREAM_READY || s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED;
        });
        if (!answered) return mcierr::kNoSoundServer;
        return pa_stream_get_state(stream_) == PA_STREAM_READY ? 0 : connection_->StreamError(false);
    }

private:
    struct Answer {
        PulseConnection* connection;
        bool given = false;
        bool success = false;
    };

    // Locked: waits for the server's answer to `operation`; whether it succeeded.
    bool Answered(pa_operation* operation) {
        if (!operation) return false;
        answer_.given = answer_.success = false;
        const bool given = connection_->Wait([this] { return answer_.given; });
        if (!given) pa_operation_cancel(operation);
        pa_operation_unref(operation);
        return given && answer_.success;
    }

    static void OnAnswer(pa_stream*, int success, void* user) {
        auto* answer = static_cast<Answer*>(user);
        answer->given = true;
        answer->success = success != 0;
        answer->connection->Signal();
    }

    void Ended(std::uint32_t code) {
        if (!live_) return;
        live_ = false;
        source_.PlaybackEnded(code);
    }

    static void OnState(pa_stream* s, void* user) {
        auto* self = static_cast<Playback*>(user);
        pa_stream_state_t state = pa_stream_get_state(s);
        if (state == PA_STREAM_READY) self->live_ = true;
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
            self->Ended(self->connection_->StreamError(false));
        self->connection_->Signal();
    }

    static void OnWrite(pa_stream* s, std::size_t wanted, void* user) {
        auto* self = static_cast<Playback*>(user);
        while (wanted > 0 && !self->drain_) {
            void* buffer = nullptr;
            std::size_t bytes = wanted;
            if (pa_stream_begin_write(s, &buffer, &bytes) < 0 || bytes == 0) return self->Ended(mcierr::kServerLost);
            std::size_t filled = self->source_.Fill(buffer, bytes);
            if (filled == 0) {
                pa_stream_cancel_write(s);
                // Ends by itself once the server has played what it holds.
                self->drain_ = pa_stream_drain(s, OnDrained, self);
                if (!self->drain_) self->Ended(mcierr::kServerLost);
                return;
            }
            if (pa_stream_write(s, buffer, filled, nullptr, 0, PA_SEEK_RELATIVE) < 0)
                return self->Ended(mcierr::kServerLost);
            wanted -= std::min(wanted, filled);
        }
    }

    static void OnDrained(pa_stream*, int success, void* user) {
        static_cast<Playback*>(user)->Ended(success ? 0 : mcierr::kServerLost);
    }

    std::shared_ptr<PulseConnection> connection_;
    PlaybackSource& source_;
    pa_stream* stream_ = nullptr;
    pa_sample_spec spec_{};
    pa_operation* drain_ = nullptr;
    Answer answer_{connection_.get()};
    bool live_ = false;
    bool corked_ = false;  // and the timing since is fresh
};

}  // namespace

PulseAudioBackend::PulseAudioBackend() = default;
PulseAudioBackend::~PulseAudioBackend() = default;

std::shared_ptr<PulseConnection> PulseAudioBackend::Connect(std::uint32_t& error) {
    std::lock_guard lock(mutex_);
    if (connection_) {
        connection_->Lock();
        bool ready = connection_->Ready();
        connection_->Unlock();
        if (ready) return connection_;
    }
    connection_.reset();
    auto c = std::make_shared<PulseConnection>();
    if ((error = c->Connect()) != 0) return nullptr;
    return connection_ = c;
}

std::unique_ptr<AudioStream> PulseAudioBackend::StartCapture(const WaveFormat& format, CaptureTarget& target,
                                                             std::uint32_t& error) {
    return StartSourceCapture(format, "", target, error);
}

std::unique_ptr<AudioStream> PulseAudioBackend::StartPlayback(const WaveFormat& format, PlaybackSource& source,
                                                              std::uint32_t& error) {
    error = 0;
    std::shared_ptr<PulseConnection> connection = Connect(error);
    if (!connection) return nullptr;
    auto playback = std::make_unique<Playback>(connection, source);
    connection->Lock();
    error = playback->Start(format);
    connection->Unlock();
    if (error != 0) return nullptr;
    return playback;
}

std::unique_ptr<AudioStream> PulseAudioBackend::StartCaptureFrom(const WaveFormat& format,
                                                                 const CaptureInput& input, CaptureTarget& target,
                                                                 std::uint32_t& error) {
    error = 0;
    switch (input.kind) {
    case CaptureInput::Kind::Default: return StartCapture(format, target, error);
    case CaptureInput::Kind::Source: {
        // Some servers record from the default source when the name is unknown.
        std::vector<std::string> names;
        if ((error = SourceNames(names)) != 0) return nullptr;
        if (std::find(names.begin(), names.end(), input.text) == names.end()) {
            error = mcierr::kNoSuchSource;
            return nullptr;
        }
        return StartSourceCapture(format, input.text, target, error);
    }
    case CaptureInput::Kind::Output:
    case CaptureInput::Kind::Application: return StartMonitorCapture(format, input, target, error);
    case CaptureInput::Kind::Program: break;  // the device turns it into the application found
    }
    error = mcierr::kUnknownInput;
    return nullptr;
}

std::uint32_t PulseAudioBackend::SourceNames(std::vector<std::string>& names) {
    names.clear();
    std::uint32_t error = 0;
    std::shared_ptr<PulseConnection> c = Connect(error);
    if (!c) return error;
    struct Listing {
        PulseConnection* connection;
        std::vector<std::string>* names;
        bool done = false;
    } listing{c.get(), &names};
    c->Lock();
    pa_operation* operation = pa_context_get_source_info_list(
        c->Context(),
        [](pa_context*, const pa_source_info* info, int eol, void* user) {
            auto* l = static_cast<Listing*>(user);
            if (info && !eol) l->names->push_back(info->name);
            if (eol) l->done = true;
            l->connection->Signal();
        },
        &listing);
    bool answered = operation && c->Wait([&] { return listing.done; });
    if (operation) {
        if (!answered) pa_operation_cancel(operation);
        pa_operation_unref(operation);
    }
    c->Unlock();
    return answered ? 0 : mcierr::kNoSoundServer;
}

}  // namespace tapelark
