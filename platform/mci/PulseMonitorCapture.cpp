// SPDX-License-Identifier: MIT
#include "platform/mci/PulseMonitorCapture.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/mci/ClockedMixer.h"
#include "platform/mci/PulseConnection.h"
#include "platform/mci/PulseStreamFollower.h"

namespace tapelark {

namespace {

// How much each stream brings at a time, and so about how late it arrives;
// fewer, larger deliveries cost less.
constexpr pa_usec_t kFragment = 400 * PA_USEC_PER_MSEC;
// The take is mixed as sound arrives; the clock's own tick is for silence.
constexpr pa_usec_t kTick = 1 * PA_USEC_PER_SEC;
// The take is mixed this far behind the clock, so that what a stream played
// has arrived by the time its place in the take is written.
constexpr pa_usec_t kLag = 2 * kFragment + 100 * PA_USEC_PER_MSEC;
// A stream that has queued more than this is behind the clock: its oldest
// sound goes, so it keeps its place in the take.
constexpr pa_usec_t kBacklog = kLag + kFragment;
// At stop, how long the server may take to hand over what it still holds.
constexpr pa_usec_t kDrainTimeout = 150 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kLastSound = 60 * PA_USEC_PER_MSEC;

class MonitorCapture final : public AudioStream, private MonitorSet {
public:
    MonitorCapture(const WaveFormat& format, const CaptureInput& input, CaptureTarget& target)
        : format_(format),
          target_(target),
          mixer_(format, Frames(kBacklog)),
          follower_(input.kind == CaptureInput::Kind::Application ? FollowProgram(*this, input.text)
                                                                  : FollowDefaultOutput(*this)) {}

    ~MonitorCapture() override {
        connection_.Lock();
        if (tick_) {
            connection_.FreeTimer(tick_);
            tick_ = nullptr;
            pa_usec_t stopped = pa_rtclock_now() - start_;
            Drain();
            // What is due up to the stop, so the take lasts as long as the recording did.
            Mix(stopped);
        }
        while (!monitors_.empty()) Remove(*monitors_.front());
        if (connection_.Api()) connection_.Disconnect();
        connection_.Unlock();
    }

    bool Hears() const override { return hearing_.load(); }
    bool Away() const override { return away_.load(); }
    std::uint64_t HeldBackBytes() const override {
        std::uint64_t due = Frames(pa_rtclock_now() - start_), emitted = emitted_.load();
        return due > emitted ? (due - emitted) * format_.blockAlign : 0;
    }

    // 0 once connected and running, else an MCI error.
    std::uint32_t Start() {
        if (std::uint32_t error = connection_.Connect()) return error;
        connection_.Lock();
        start_ = pa_rtclock_now();
        follower_->Connected(connection_.Context());
        tick_ = connection_.NewTimer(kTick, [this] { Tick(); });
        connection_.StayConnected([this] { Back(); }, [this] { Lost(); });
        connection_.Unlock();
        return 0;
    }

private:
    struct Monitor {
        MonitorCapture* owner;
        int id;
        pa_stream* stream;
        int track;  // in the mix, or 0
        bool heard = false;
        bool ended = false;
    };

    std::uint64_t Frames(pa_usec_t usec) const { return usec * format_.samplesPerSec / PA_USEC_PER_SEC; }

    void Mix(pa_usec_t elapsed) {
        std::uint64_t due = Frames(elapsed);
        if (due > mixer_.Emitted()) mixer_.Emit(due - mixer_.Emitted(), target_);
        emitted_.store(mixer_.Emitted());
    }

    // Up to a while ago, so that what the streams played has arrived.
    void MixDue() {
        pa_usec_t elapsed = pa_rtclock_now() - start_;
        if (elapsed > kLag) Mix(elapsed - kLag);
    }

    Monitor* Find(int id) {
        for (auto& m : monitors_)
            if (m->id == id) return m.get();
        return nullptr;
    }

    // ---- the monitors, as the follower asks ----

    int OpenMonitor(std::uint32_t sinkInput, const char* source, bool mixed) override {
        int id = nextId_++;
        pa_stream* stream = connection_.NewStream("Tapelark recording", format_);
        monitors_.push_back(std::make_unique<Monitor>(Monitor{this, id, stream, mixed ? mixer_.AddTrack() : 0}));
        Monitor* m = monitors_.back().get();
        if (!stream) return m->ended = true, id;
        if (sinkInput != PA_INVALID_INDEX) pa_stream_set_monitor_stream(stream, sinkInput);
        pa_stream_set_state_callback(stream, OnStreamState, m);
        pa_stream_set_read_callback(stream, OnRead, m);
        pa_buffer_attr attr{};
        attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(Frames(kFragment) * format_.blockAlign);
        // Never let the server move this capture elsewhere when the program's
        // stream ends: it would record everything else instead.
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(stream, source, &attr, flags) < 0) m->ended = true;
        return id;
    }

    void CloseMonitor(int id) override {
        if (Monitor* m = Find(id)) Remove(*m);
    }

    void MixMonitor(int id, bool mixed) override {
        Monitor* m = Find(id);
        if (!m || mixed == (m->track != 0)) return;
        if (mixed) {
            m->track = mixer_.AddTrack();
        } else {
            mixer_.Close(m->track);
            m->track = 0;
        }
    }

    void Remove(Monitor& m) {
        PulseConnection::Dispose(m.stream);
        if (m.track != 0) mixer_.Close(m.track);
        monitors_.erase(std::find_if(monitors_.begin(), monitors_.end(),
                                     [&m](const std::unique_ptr<Monitor>& p) { return p.get() == &m; }));
    }

    static void OnStreamState(pa_stream* stream, void* user) {
        auto* m = static_cast<Monitor*>(user);
        pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) m->ended = true;
        m->owner->connection_.Signal();
    }

    static void OnRead(pa_stream* stream, std::size_t, void* user) {
        auto* m = static_cast<Monitor*>(user);
        MonitorCapture& self = *m->owner;
        if (!m->ended && m->track != 0 && !self.mixer_.Started(m->track)) {
            // What the server holds now was played as long ago as it lasts.
            std::uint64_t now = self.Frames(pa_rtclock_now() - self.start_);
            std::uint64_t lasts = pa_stream_readable_size(stream) / self.format_.blockAlign;
            // The take first catches up with the clock, so the silence
            // before this sound fits in the track.
            if (self.tick_) self.MixDue();
            self.mixer_.StartAt(m->track, now > lasts ? now - lasts : 0);
        }
        while (pa_stream_readable_size(stream) > 0) {
            const void* data = nullptr;
            std::size_t bytes = 0;
            if (pa_stream_peek(stream, &data, &bytes) < 0) {
                m->ended = true;
                return;
            }
            if (bytes == 0) break;
            if (!m->ended && m->track != 0) self.mixer_.Push(m->track, data, bytes);
            pa_stream_drop(stream);
        }
        if (self.tick_) {
            self.MixDue();
            // Sound that arrives is mixed here, so the tick (for silence, and
            // for streams that ended) can wait: a restart costs the loop less
            // than a wake-up of its own.
            if (std::none_of(self.monitors_.begin(), self.monitors_.end(),
                             [](const std::unique_ptr<Monitor>& other) { return other->ended; }))
                self.connection_.RestartTimer(self.tick_, kTick);
        }
        if (!m->heard && !m->ended) {
            m->heard = true;
            if (m->track != 0) self.hearing_.store(true);
        }
    }

    // Asks each stream for what the server still holds of it, so the end of
    // the take is not lost: with small deliveries the server hands it over.
    void Drain() {
        pa_buffer_attr attr{};
        attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(Frames(kLastSound) * format_.blockAlign);
        int asked = 0;
        draining_ = 0;
        for (auto& m : monitors_) {
            if (m->ended || pa_stream_get_state(m->stream) != PA_STREAM_READY) continue;
            pa_operation* op = pa_stream_set_buffer_attr(
                m->stream, &attr,
                [](pa_stream*, int, void* user) {
                    auto* self = static_cast<MonitorCapture*>(user);
                    ++self->draining_;
                    self->connection_.Signal();
                },
                this);
            if (op) ++asked, pa_operation_unref(op);
        }
        if (asked == 0) return;
        connection_.Wait([&] { return draining_ >= asked; }, kDrainTimeout);
        connection_.Wait([] { return false; }, kLastSound);
    }

    // ---- the clock, and the server going and coming back ----

    void Tick() {
        std::vector<int> ended;
        for (auto& m : monitors_)
            if (m->ended) ended.push_back(m->id);
        for (int id : ended) {
            CloseMonitor(id);
            follower_->Ended(id);
        }
        hearing_.store(std::any_of(monitors_.begin(), monitors_.end(),
                                   [](const std::unique_ptr<Monitor>& m) { return m->heard && m->track != 0; }));
        MixDue();
        connection_.RestartTimer(tick_, kTick);
    }

    void Lost() {
        away_.store(true);
        hearing_.store(false);
        while (!monitors_.empty()) Remove(*monitors_.front());
        follower_->Lost();
    }

    void Back() {
        away_.store(false);
        follower_->Connected(connection_.Context());
    }

    WaveFormat format_;
    CaptureTarget& target_;
    ClockedMixer mixer_;
    std::unique_ptr<StreamFollower> follower_;
    pa_time_event* tick_ = nullptr;
    pa_usec_t start_ = 0;
    int draining_ = 0;
    int nextId_ = 1;
    std::vector<std::unique_ptr<Monitor>> monitors_;
    std::atomic<bool> hearing_{false};
    std::atomic<bool> away_{false};
    std::atomic<std::uint64_t> emitted_{0};
    // Declared last: its thread ends first, while the rest still exists.
    PulseConnection connection_;
};

}  // namespace

std::unique_ptr<AudioStream> StartMonitorCapture(const WaveFormat& format, const CaptureInput& input,
                                                 CaptureTarget& target, std::uint32_t& error) {
    auto capture = std::make_unique<MonitorCapture>(format, input, target);
    error = capture->Start();
    if (error != 0) return nullptr;
    return capture;
}

}  // namespace tapelark
