// SPDX-License-Identifier: MIT
#include "platform/mci/PulseSourceCapture.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>

#include "platform/mci/MciErrors.h"
#include "platform/mci/PulseConnection.h"

namespace tapelark {

namespace {

// Sound quieter than this (about -60 dB) is not "heard".
constexpr int kAudible = 32;
constexpr pa_usec_t kHeardFor = 1 * PA_USEC_PER_SEC;

class SourceCapture final : public AudioStream {
public:
    SourceCapture(const WaveFormat& format, const std::string& source, CaptureTarget& target)
        : format_(format), source_(source), target_(target) {}

    ~SourceCapture() override {
        connection_.Lock();
        PulseConnection::Dispose(stream_);
        stream_ = nullptr;
        if (connection_.Api()) connection_.Disconnect();
        connection_.Unlock();
    }

    bool Hears() const override { return !away_.load() && pa_rtclock_now() < lastSound_.load() + kHeardFor; }
    bool Away() const override { return away_.load(); }

    std::uint32_t Start() {
        if (std::uint32_t error = connection_.Connect()) return error;
        connection_.Lock();
        std::uint32_t error = Open();
        if (error == 0) error = connection_.Wait([this] { return Settled(); }) ? Error() : mcierr::kNoSoundServer;
        if (error == 0) connection_.StayConnected([this] { Open(); }, [this] { Lost(); });
        connection_.Unlock();
        return error;
    }

private:
    // Locked: a new stream; it runs once its state says so.
    std::uint32_t Open() {
        stream_ = connection_.NewStream("Tapelark recording", format_);
        if (!stream_) return connection_.StreamError(true);
        pa_stream_set_state_callback(stream_, OnState, this);
        pa_stream_set_read_callback(stream_, OnRead, this);
        pa_buffer_attr attr{};
        attr.maxlength = attr.prebuf = attr.minreq = attr.tlength = static_cast<std::uint32_t>(-1);
        // A twentieth of a second per delivery: few wake-ups, little left unsent at stop.
        attr.fragsize = format_.bytesPerSec / 20 / format_.blockAlign * format_.blockAlign;
        const char* device = source_.empty() ? nullptr : source_.c_str();
        auto flags = device ? PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE : PA_STREAM_ADJUST_LATENCY;
        if (pa_stream_connect_record(stream_, device, &attr, static_cast<pa_stream_flags_t>(flags)) < 0)
            return connection_.StreamError(true);
        return 0;
    }

    bool Settled() const {
        pa_stream_state_t s = pa_stream_get_state(stream_);
        return s == PA_STREAM_READY || s == PA_STREAM_FAILED || s == PA_STREAM_TERMINATED;
    }

    std::uint32_t Error() const {
        if (pa_stream_get_state(stream_) == PA_STREAM_READY) return 0;
        std::uint32_t error = connection_.StreamError(true);
        return !source_.empty() && error == mcierr::kNoInput ? mcierr::kNoSuchSource : error;
    }

    void Lost() {
        away_.store(true);
        PulseConnection::Dispose(stream_);
        stream_ = nullptr;
    }

    static void OnState(pa_stream* stream, void* user) {
        auto* self = static_cast<SourceCapture*>(user);
        pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_READY && self->away_.load()) {
            self->catchUp_ = true;
            self->away_.store(false);
        }
        if (state == PA_STREAM_READY) self->live_ = true;
        // With the connection still up, the server ended just this stream
        // (its source went away): the recording breaks off.
        if ((state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) && self->live_ &&
            self->connection_.Ready())
            self->Broke(self->Error());
        self->connection_.Signal();
    }

    void Broke(std::uint32_t code) {
        if (!live_) return;
        live_ = false;
        target_.CaptureFailed(code);
    }

    static void OnRead(pa_stream* stream, std::size_t, void* user) {
        auto* self = static_cast<SourceCapture*>(user);
        if (self->catchUp_) {
            // Back after the server went away: the time it was away, and what
            // it never delivered before it went, is kept as silence, so what
            // comes now keeps its place in the take. What the server holds
            // now was recorded as long ago as it lasts.
            self->catchUp_ = false;
            std::uint64_t due = (pa_rtclock_now() - self->start_) * self->format_.samplesPerSec / PA_USEC_PER_SEC *
                                self->format_.blockAlign;
            std::uint64_t have = self->delivered_ + pa_stream_readable_size(stream);
            if (due > have) self->Silence(due - have);
        }
        while (pa_stream_readable_size(stream) > 0) {
            const void* data = nullptr;
            std::size_t bytes = 0;
            if (pa_stream_peek(stream, &data, &bytes) < 0) return self->Broke(mcierr::kServerLost);
            if (bytes == 0) return;
            if (self->live_) {
                if (!data) {
                    self->Silence(bytes);
                } else {
                    if (self->Audible(data, bytes)) self->lastSound_.store(pa_rtclock_now());
                    self->target_.Captured(data, bytes);
                    self->delivered_ += bytes;
                }
            }
            pa_stream_drop(stream);
        }
    }

    bool Audible(const void* data, std::size_t bytes) const {
        auto* p = static_cast<const unsigned char*>(data);
        if (format_.bitsPerSample == 8)
            return std::any_of(p, p + bytes, [](unsigned char v) { return std::abs(v - 0x80) > kAudible / 256; });
        for (std::size_t i = 0; i + 1 < bytes; i += 2)
            if (std::abs(static_cast<std::int16_t>(p[i] | p[i + 1] << 8)) > kAudible) return true;
        return false;
    }

    // A hole in the stream is time that passed without sound: keep it as
    // silence, or the recording would drift out of step with the game.
    void Silence(std::uint64_t bytes) {
        std::array<unsigned char, 4096> quiet;
        quiet.fill(format_.bitsPerSample == 8 ? 0x80 : 0);
        while (bytes > 0) {
            std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, quiet.size()));
            n -= n % format_.blockAlign;
            if (n == 0) return;
            target_.Captured(quiet.data(), n);
            delivered_ += n;
            bytes -= n;
        }
    }

    WaveFormat format_;
    std::string source_;
    CaptureTarget& target_;
    pa_stream* stream_ = nullptr;
    bool live_ = false;
    pa_usec_t start_ = pa_rtclock_now();
    std::uint64_t delivered_ = 0;  // bytes
    bool catchUp_ = false;
    std::atomic<bool> away_{false};
    std::atomic<pa_usec_t> lastSound_{0};
    // Declared last: its thread ends first, while the rest still exists.
    PulseConnection connection_;
};

}  // namespace

std::unique_ptr<AudioStream> StartSourceCapture(const WaveFormat& format, const std::string& source,
                                                CaptureTarget& target, std::uint32_t& error) {
    auto capture = std::make_unique<SourceCapture>(format, source, target);
    error = capture->Start();
    if (error != 0) return nullptr;
    return capture;
}

}  // namespace tapelark
