// SPDX-License-Identifier: MIT
#include "platform/mci/PulseAudioBackend.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <set>

#include "platform/mci/MciErrors.h"
#include "platform/mci/PulseContext.h"
#include "platform/mci/PulseMonitorCapture.h"

namespace tapelark {

namespace {

// How long a server may take to answer a connect or a new stream before we
// call it unreachable. Commands must stay quick; a live server answers in ms.
constexpr pa_usec_t kAnswerTimeout = 5 * PA_USEC_PER_SEC;

class PulseStream;

}  // namespace

struct PulseAudioBackend::Connection {
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::set<PulseStream*> streams;  // guarded by the loop's lock

    ~Connection() {
        if (!loop) return;
        pa_threaded_mainloop_lock(loop);
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
    }

    bool Usable() const {
        pa_threaded_mainloop_lock(loop);
        bool ready = pa_context_get_state(context) == PA_CONTEXT_READY;
        pa_threaded_mainloop_unlock(loop);
        return ready;
    }

    // Waits, with the loop locked, until `done()` or the timeout; false on timeout.
    template <typename Done>
    bool Wait(Done done) {
        struct Timer {
            pa_threaded_mainloop* loop;
            bool fired = false;
        } timer{loop};
        pa_time_event* event = pa_context_rttime_new(
            context, pa_rtclock_now() + kAnswerTimeout,
            [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* user) {
                auto* t = static_cast<Timer*>(user);
                t->fired = true;
                pa_threaded_mainloop_signal(t->loop, 0);
            },
            &timer);
        while (!done() && !timer.fired) pa_threaded_mainloop_wait(loop);
        if (event) pa_threaded_mainloop_get_api(loop)->time_free(event);
        return done();
    }
};

namespace {

using Connection = PulseAudioBackend::Connection;

std::uint32_t StreamError(Connection& c, bool capture) {
    int error = pa_context_errno(c.context);
    if (error == PA_ERR_NOENTITY) return capture ? mcierr::kNoInput : mcierr::kNoOutput;
    if (pa_context_get_state(c.context) != PA_CONTEXT_READY) return mcierr::kServerLost;
    return mcierr::kSoundServerError;
}

pa_sample_spec SpecOf(const WaveFormat& f) {
    pa_sample_spec spec{};
    spec.format = f.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec.rate = f.samplesPerSec;
    spec.channels = static_cast<std::uint8_t>(f.channels);
    return spec;
}

// One capture or playback stream. Its callbacks run on the loop's thread
// with the loop locked; the destructor takes the same lock, so once it has
// returned no callback is running or will run.
class PulseStream final : public AudioStream {
public:
    PulseStream(std::shared_ptr<Connection> connection, CaptureTarget* target, PlaybackSource* source)
        : connection_(std::move(connection)), target_(target), source_(source) {}

    ~PulseStream() override {
        pa_threaded_mainloop_lock(connection_->loop);
        connection_->streams.erase(this);
        if (stream_) {
            pa_stream_set_state_callback(stream_, nullptr, nullptr);
            pa_stream_set_read_callback(stream_, nullptr, nullptr);
            pa_stream_set_write_callback(stream_, nullptr, nullptr);
            if (drain_) {
                pa_operation_cancel(drain_);
                pa_operation_unref(drain_);
            }
            pa_stream_state_t state = pa_stream_get_state(stream_);
            if (state == PA_STREAM_READY || state == PA_STREAM_CREATING) pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        pa_threaded_mainloop_unlock(connection_->loop);
    }

    std::optional<std::uint64_t> PlayedBytes() const override {
        if (!source_) return std::nullopt;
        pa_threaded_mainloop_lock(connection_->loop);
        pa_usec_t played = 0;
        const bool known = stream_ && pa_stream_get_time(stream_, &played) == 0;
        pa_threaded_mainloop_unlock(connection_->loop);
        if (!known) return std::nullopt;
        return pa_usec_to_bytes(played, &spec_);
    }

    // With the loop locked. 0 once the stream runs, else an MCI error.
    std::uint32_t Start(const WaveFormat& format, const char* device = nullptr) {
        Connection& c = *connection_;
        pa_sample_spec spec = spec_ = SpecOf(format);
        eightBit_ = format.bitsPerSample == 8;
        stream_ = pa_stream_new(c.context, target_ ? "Tapelark recording" : "Tapelark playback", &spec, nullptr);
        if (!stream_) return StreamError(c, target_ != nullptr);
        pa_stream_set_state_callback(stream_, OnState, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.prebuf = attr.minreq = attr.tlength = attr.fragsize = static_cast<std::uint32_t>(-1);
        std::uint32_t align = format.blockAlign;
        int result = 0;
        if (target_) {
            // A twentieth of a second per delivery: few wake-ups, little left unsent at stop.
            attr.fragsize = format.bytesPerSec / 20 / align * align;
            pa_stream_set_read_callback(stream_, OnRead, this);
            // A source chosen by name is that source or none: never another.
            auto flags = device ? PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE : PA_STREAM_ADJUST_LATENCY;
            result = pa_stream_connect_record(stream_, device, &attr, static_cast<pa_stream_flags_t>(flags));
        } else {
            attr.tlength = format.bytesPerSec / 4 / align * align;
            pa_stream_set_write_callback(stream_, OnWrite, this);
            // Timing kept up to date, so the position can be what was heard.
            const auto flags = PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE;
            result = pa_stream_connect_playback(stream_, nullptr, &attr, static_cast<pa_stream_flags_t>(flags),
                                                nullptr, nullptr);
        }
        if (result < 0) return StreamError(c, target_ != nullptr);
        bool answered = c.Wait([this] {
            pa_stream_state_t s = pa_stream_get_state(stream_);
            return s == PA_STREAM_READY || s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED;
        });
        if (!answered) return mcierr::kNoSoundServer;
        if (pa_stream_get_state(stream_) != PA_STREAM_READY) {
            std::uint32_t error = StreamError(c, target_ != nullptr);
            return device && error == mcierr::kNoInput ? mcierr::kNoSuchSource : error;
        }
        c.streams.insert(this);
        return 0;
    }

    // The server or the stream went away while running.
    void Broke(std::uint32_t code) {
        if (!live_) return;
        live_ = false;
        if (target_) target_->CaptureFailed(code);
        else source_->PlaybackEnded(code);
    }

private:
    static void OnState(pa_stream* s, void* user) {
        auto* self = static_cast<PulseStream*>(user);
        pa_stream_state_t state = pa_stream_get_state(s);
        if (state == PA_STREAM_READY) self->live_ = true;
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) {
            // With the connection still up, the server ended just this stream.
            pa_context* context = self->connection_->context;
            std::uint32_t code = pa_context_get_state(context) != PA_CONTEXT_READY ? mcierr::kServerLost
                                 : pa_context_errno(context) == PA_ERR_NOENTITY
                                     ? (self->target_ ? mcierr::kNoInput : mcierr::kNoOutput)
                                     : mcierr::kSoundServerError;
            self->Broke(code);
        }
        pa_threaded_mainloop_signal(self->connection_->loop, 0);
    }

    static void OnRead(pa_stream* s, std::size_t, void* user) {
        auto* self = static_cast<PulseStream*>(user);
        while (pa_stream_readable_size(s) > 0) {
            const void* data = nullptr;
            std::size_t bytes = 0;
            if (pa_stream_peek(s, &data, &bytes) < 0) {
                self->Broke(mcierr::kServerLost);
                return;
            }
            if (bytes == 0) return;
            if (self->live_) {
                if (data) self->target_->Captured(data, bytes);
                else self->Silence(bytes);
            }
            pa_stream_drop(s);
        }
    }

    // A hole in the stream is time that passed without sound: keep it as
    // silence, or the recording would drift out of step with the game.
    void Silence(std::size_t bytes) {
        static const std::array<unsigned char, 4096> zeros{};
        static const auto unsignedQuiet = [] {
            std::array<unsigned char, 4096> a;
            a.fill(0x80);
            return a;
        }();
        const auto& quiet = eightBit_ ? unsignedQuiet : zeros;
        while (bytes > 0) {
            std::size_t n = std::min(bytes, quiet.size());
            target_->Captured(quiet.data(), n);
            bytes -= n;
        }
    }

    static void OnWrite(pa_stream* s, std::size_t wanted, void* user) {
        auto* self = static_cast<PulseStream*>(user);
        while (wanted > 0 && !self->draining_) {
            void* buffer = nullptr;
            std::size_t bytes = wanted;
            if (pa_stream_begin_write(s, &buffer, &bytes) < 0 || bytes == 0) {
                self->Broke(mcierr::kServerLost);
                return;
            }
            std::size_t filled = self->source_->Fill(buffer, bytes);
            if (filled == 0) {
                pa_stream_cancel_write(s);
                self->draining_ = true;
                // Ends by itself once the server has played what it holds.
                self->drain_ = pa_stream_drain(s, OnDrained, self);
                if (!self->drain_) self->Broke(mcierr::kServerLost);
                return;
            }
            if (pa_stream_write(s, buffer, filled, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
                self->Broke(mcierr::kServerLost);
                return;
            }
            wanted -= std::min(wanted, filled);
        }
    }

    static void OnDrained(pa_stream*, int success, void* user) {
        auto* self = static_cast<PulseStream*>(user);
        if (!self->live_) return;
        self->live_ = false;
        self->source_->PlaybackEnded(success ? 0 : mcierr::kServerLost);
    }

    std::shared_ptr<Connection> connection_;
    CaptureTarget* target_;
    PlaybackSource* source_;
    pa_stream* stream_ = nullptr;
    pa_sample_spec spec_{};
    pa_operation* drain_ = nullptr;
    bool live_ = false;
    bool draining_ = false;
    bool eightBit_ = false;
};

void OnContextState(pa_context* context, void* user) {
    auto* c = static_cast<Connection*>(user);
    pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
        // Copy: a stream's owner may not remove it while we hold the lock,
        // but Broke() must see a stable set.
        std::set<PulseStream*> streams = c->streams;
        for (PulseStream* s : streams) s->Broke(mcierr::kServerLost);
    }
    pa_threaded_mainloop_signal(c->loop, 0);
}

template <typename Stream>
std::unique_ptr<AudioStream> StartStream(std::shared_ptr<Connection> connection, const WaveFormat& format,
                                         CaptureTarget* target, PlaybackSource* source, std::uint32_t& error,
                                         const char* device = nullptr) {
    if (!connection) return nullptr;
    pa_threaded_mainloop* loop = connection->loop;
    auto stream = std::make_unique<Stream>(std::move(connection), target, source);
    pa_threaded_mainloop_lock(loop);
    error = stream->Start(format, device);
    pa_threaded_mainloop_unlock(loop);
    if (error != 0) return nullptr;
    return stream;
}

}  // namespace

PulseAudioBackend::PulseAudioBackend() = default;
PulseAudioBackend::~PulseAudioBackend() = default;

std::shared_ptr<PulseAudioBackend::Connection> PulseAudioBackend::Connect(std::uint32_t& error) {
    std::lock_guard lock(mutex_);
    if (connection_ && connection_->Usable()) return connection_;
    connection_.reset();
    auto c = std::make_shared<Connection>();
    c->loop = pa_threaded_mainloop_new();
    if (!c->loop) {
        error = mcierr::FromResourceErrno(errno, mcierr::kOutOfMemory);  // its wake-up pipe
        return nullptr;
    }
    if (pa_threaded_mainloop_start(c->loop) < 0) {
        pa_threaded_mainloop_free(c->loop);
        c->loop = nullptr;
        error = mcierr::kInternal;
        return nullptr;
    }
    pa_threaded_mainloop_lock(c->loop);
    c->context = NewPulseContext(pa_threaded_mainloop_get_api(c->loop));
    bool ready = false;
    if (c->context) {
        pa_context_set_state_callback(c->context, OnContextState, c.get());
        // Never start a server of our own: with none running, say so.
        if (pa_context_connect(c->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            pa_context* context = c->context;
            c->Wait([context] {
                pa_context_state_t s = pa_context_get_state(context);
                return s == PA_CONTEXT_READY || s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED;
            });
            ready = pa_context_get_state(c->context) == PA_CONTEXT_READY;
        }
    }
    pa_threaded_mainloop_unlock(c->loop);
    if (!ready) {
        error = mcierr::kNoSoundServer;
        return nullptr;
    }
    connection_ = c;
    return c;
}

std::unique_ptr<AudioStream> PulseAudioBackend::StartCapture(const WaveFormat& format, CaptureTarget& target,
                                                             std::uint32_t& error) {
    error = 0;
    return StartStream<PulseStream>(Connect(error), format, &target, nullptr, error);
}

std::unique_ptr<AudioStream> PulseAudioBackend::StartPlayback(const WaveFormat& format, PlaybackSource& source,
                                                              std::uint32_t& error) {
    error = 0;
    return StartStream<PulseStream>(Connect(error), format, nullptr, &source, error);
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
        return StartStream<PulseStream>(Connect(error), format, &target, nullptr, error, input.text.c_str());
    }
    case CaptureInput::Kind::Output:
    case CaptureInput::Kind::Application: return StartMonitorCapture(format, input, target, error);
    case CaptureInput::Kind::Emulator: break;
    }
    error = mcierr::kUnknownInput;
    return nullptr;
}

std::uint32_t PulseAudioBackend::SourceNames(std::vector<std::string>& names) {
    names.clear();
    std::uint32_t error = 0;
    std::shared_ptr<Connection> c = Connect(error);
    if (!c) return error;
    struct Listing {
        pa_threaded_mainloop* loop;
        std::vector<std::string>* names;
        bool done = false;
    } listing{c->loop, &names};
    pa_threaded_mainloop_lock(c->loop);
    pa_operation* operation = pa_context_get_source_info_list(
        c->context,
        [](pa_context*, const pa_source_info* info, int eol, void* user) {
            auto* l = static_cast<Listing*>(user);
            if (info && !eol) l->names->push_back(info->name);
            if (eol) l->done = true;
            pa_threaded_mainloop_signal(l->loop, 0);
        },
        &listing);
    bool answered = operation && c->Wait([&] { return listing.done; });
    if (operation) {
        if (!answered) pa_operation_cancel(operation);
        pa_operation_unref(operation);
    }
    pa_threaded_mainloop_unlock(c->loop);
    return answered ? 0 : mcierr::kNoSoundServer;
}

}  // namespace tapelark
