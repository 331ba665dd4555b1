// SPDX-License-Identifier: MIT
#include "platform/mci/PulseMonitorCapture.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "common/AsciiText.h"
#include "platform/linux/ProcessName.h"
#include "platform/mci/ClockedMixer.h"
#include "platform/mci/PulseContext.h"

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
constexpr pa_usec_t kRetry = 1 * PA_USEC_PER_SEC;
constexpr pa_usec_t kAnswerTimeout = 5 * PA_USEC_PER_SEC;
// At stop, how long the server may take to hand over what it still holds.
constexpr pa_usec_t kDrainTimeout = 150 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kLastSound = 60 * PA_USEC_PER_MSEC;

pa_time_event* NewTimer(pa_mainloop_api* api, pa_usec_t after, pa_time_event_cb_t callback, void* user) {
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, after);
    return api->time_new(api, &when, callback, user);
}

void RestartTimer(pa_mainloop_api* api, pa_time_event* event, pa_usec_t after) {
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, after);
    api->time_restart(event, &when);
}

void Drop(pa_operation* operation) {
    if (operation) pa_operation_unref(operation);
}

class MonitorCapture final : public AudioStream {
public:
    MonitorCapture(const WaveFormat& format, const CaptureInput& input, CaptureTarget& target)
        : format_(format),
          input_(input),
          target_(target),
          mixer_(format, Frames(kBacklog)) {}

    ~MonitorCapture() override {
        if (!loop_) return;
        pa_threaded_mainloop_lock(loop_);
        if (tick_) {
            api_->time_free(tick_);
            tick_ = nullptr;
            pa_usec_t stopped = pa_rtclock_now() - start_;
            Drain();
            // What is due up to the stop, so the take lasts as long as the recording did.
            Mix(stopped);
        }
        if (retry_) api_->time_free(retry_);
        while (!monitors_.empty()) Remove(monitors_.front().get());
        DisposeContext();
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }

    bool Hears() const override { return hearing_.load(); }

    // 0 once connected and running, else an MCI error.
    std::uint32_t Start() {
        loop_ = pa_threaded_mainloop_new();
        if (!loop_) return mcierr::kOutOfMemory;
        api_ = pa_threaded_mainloop_get_api(loop_);
        if (pa_threaded_mainloop_start(loop_) < 0) {
            pa_threaded_mainloop_free(loop_);
            loop_ = nullptr;
            return mcierr::kInternal;
        }
        pa_threaded_mainloop_lock(loop_);
        start_ = pa_rtclock_now();
        Connect();
        WaitFor([this] { return ready_ || retry_; }, kAnswerTimeout);
        std::uint32_t result = 0;
        if (!ready_) {
            result = mcierr::kNoSoundServer;
        } else {
            tick_ = NewTimer(api_, kTick, OnTick, this);
        }
        pa_threaded_mainloop_unlock(loop_);
        return result;
    }

private:
    struct Monitor {
        MonitorCapture* owner;
        pa_stream* stream = nullptr;
        std::uint32_t sinkInput;  // PA_INVALID_INDEX for a whole sink's monitor
        std::uint32_t sink;
        std::string sinkName;
        int track;  // in the mix; 0 while another output is the default
        bool heard = false;
        bool dead = false;
    };

    // With the loop locked: until `done()` or `timeout` has passed.
    template <typename Done>
    void WaitFor(Done done, pa_usec_t timeout) {
        struct Timer {
            pa_threaded_mainloop* loop;
            bool fired = false;
        } timer{loop_};
        pa_time_event* event = NewTimer(
            api_, timeout,
            [](pa_mainloop_api*, pa_time_event*, const timeval*, void* user) {
                auto* t = static_cast<Timer*>(user);
                t->fired = true;
                pa_threaded_mainloop_signal(t->loop, 0);
            },
            &timer);
        while (!done() && !timer.fired) pa_threaded_mainloop_wait(loop_);
        api_->time_free(event);
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
            if (m->dead || pa_stream_get_state(m->stream) != PA_STREAM_READY) continue;
            pa_operation* op = pa_stream_set_buffer_attr(
                m->stream, &attr,
                [](pa_stream*, int, void* user) {
                    auto* self = static_cast<MonitorCapture*>(user);
                    ++self->draining_;
                    pa_threaded_mainloop_signal(self->loop_, 0);
                },
                this);
            if (op) ++asked, pa_operation_unref(op);
        }
        if (asked == 0) return;
        WaitFor([&] { return draining_ >= asked; }, kDrainTimeout);
        WaitFor([] { return false; }, kLastSound);
    }

    bool Application() const { return input_.kind == CaptureInput::Kind::Application; }

    std::uint64_t Frames(pa_usec_t usec) const { return usec * format_.samplesPerSec / PA_USEC_PER_SEC; }

    void Mix(pa_usec_t elapsed) {
        std::uint64_t due = Frames(elapsed);
        if (due > mixer_.Emitted()) mixer_.Emit(due - mixer_.Emitted(), target_);
    }

    // Up to a while ago, so that what the streams played has arrived.
    void MixDue() {
        pa_usec_t elapsed = pa_rtclock_now() - start_;
        if (elapsed > kLag) Mix(elapsed - kLag);
    }

    // ---- the connection, and again after the server went away ----

    void Connect() {
        ready_ = false;
        context_ = NewPulseContext(api_);
        if (!context_) return Lost();
        pa_context_set_state_callback(context_, OnContextState, this);
        // Never start a server of our own.
        if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) Lost();
    }

    void DisposeContext() {
        if (!context_) return;
        pa_context_set_state_callback(context_, nullptr, nullptr);
        pa_context_set_subscribe_callback(context_, nullptr, nullptr);
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }

    void Lost() {
        ready_ = false;
        for (auto& m : monitors_) m->dead = true;
        pending_.clear();
        wantedSink_.clear();
        hearing_.store(false);
        if (!retry_) retry_ = NewTimer(api_, kRetry, OnRetry, this);
        pa_threaded_mainloop_signal(loop_, 0);
    }

    static void OnRetry(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* user) {
        auto* self = static_cast<MonitorCapture*>(user);
        api->time_free(event);
        self->retry_ = nullptr;
        for (auto& m : self->monitors_) m->dead = true;
        self->Reap();
        self->DisposeContext();
        self->Connect();
    }

    static void OnContextState(pa_context* context, void* user) {
        auto* self = static_cast<MonitorCapture*>(user);
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY: self->Ready(); break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED: self->Lost(); break;
        default: break;
        }
        pa_threaded_mainloop_signal(self->loop_, 0);
    }

    void Ready() {
        ready_ = true;
        pa_context_set_subscribe_callback(context_, OnEvent, this);
        if (Application()) {
            Drop(pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
            Drop(pa_context_get_sink_input_info_list(context_, OnSinkInput, this));
        } else {
            // Every output is listened to, so a change of the default one
            // is heard at once; only the default one is in the take.
            auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SINK);
            Drop(pa_context_subscribe(context_, mask, nullptr, nullptr));
            Drop(pa_context_get_sink_info_list(context_, OnSinkInfo, this));
            Drop(pa_context_get_server_info(context_, OnServerInfo, this));
        }
    }

    static void OnEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index, void* user) {
        auto* self = static_cast<MonitorCapture*>(user);
        auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
            Drop(pa_context_get_server_info(context, OnServerInfo, self));
        } else if (facility == PA_SUBSCRIPTION_EVENT_SINK) {
            if (kind == PA_SUBSCRIPTION_EVENT_REMOVE) {
                for (auto& m : self->monitors_)
                    if (m->sink == index) m->dead = true;
            } else {
                Drop(pa_context_get_sink_info_by_index(context, index, OnSinkInfo, self));
            }
        } else if (facility == PA_SUBSCRIPTION_EVENT_SINK_INPUT) {
            if (kind == PA_SUBSCRIPTION_EVENT_REMOVE) self->Follow(index, PA_INVALID_INDEX, false);
            else Drop(pa_context_get_sink_input_info(context, index, OnSinkInput, self));
        }
    }

    // ---- which streams to hear ----

    static void OnServerInfo(pa_context*, const pa_server_info* info, void* user) {
        auto* self = static_cast<MonitorCapture*>(user);
        if (!info || !info->default_sink_name) return;
        self->wantedSink_ = info->default_sink_name;
        self->Choose();
    }

    // Output: the default output's monitor is the one in the take.
    void Choose() {
        for (auto& m : monitors_) {
            bool wanted = !m->dead && m->sinkName == wantedSink_;
            if (wanted && m->track == 0) {
                m->track = mixer_.AddTrack();
            } else if (!wanted && m->track != 0) {
                mixer_.Close(m->track);
                m->track = 0;
            }
        }
    }

    static void OnSinkInput(pa_context* context, const pa_sink_input_info* info, int eol, void* user) {
        if (eol || !info) return;
        auto* self = static_cast<MonitorCapture*>(user);
        const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
        if (pid || info->client == PA_INVALID_INDEX) {
            self->Follow(info->index, info->sink, self->Matches(pid));
            return;
        }
        // Some servers keep the process on the client only.
        self->byClient_[info->client].push_back({info->index, info->sink});
        Drop(pa_context_get_client_info(context, info->client, OnClient, self));
    }

    static void OnClient(pa_context*, const pa_client_info* info, int eol, void* user) {
        if (eol || !info) return;
        auto* self = static_cast<MonitorCapture*>(user);
        const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
        if (!pid) pid = pa_proplist_gets(info->proplist, "pipewire.sec.pid");
        auto waiting = self->byClient_.extract(info->index);
        if (waiting.empty()) return;
        for (auto [sinkInput, sink] : waiting.mapped()) self->Follow(sinkInput, sink, self->Matches(pid));
    }

    // The rule of the process check: the executable name ends with the text,
    // case ignored. An empty text hears nothing rather than everything.
    bool Matches(const char* pid) const {
        if (!pid || !*pid || input_.text.empty()) return false;
        // A client names its own process: take nothing but a number from it.
        for (const char* c = pid; *c; ++c)
            if (*c < '0' || *c > '9') return false;
        auto name = ReadProcessName("/proc", pid);
        return name && EndsWithIgnoringAsciiCase(*name, input_.text);
    }

    void Follow(std::uint32_t sinkInput, std::uint32_t sink, bool ours) {
        Monitor* live = nullptr;
        for (auto& m : monitors_)
            if (!m->dead && m->sinkInput == sinkInput) live = m.get();
        // A stream that moved to another sink is heard there from now on.
        if (live && (!ours || live->sink != sink)) live->dead = true, live = nullptr;
        if (!ours) {
            pending_.erase(sinkInput);
            return;
        }
        if (live) return;
        auto wanted = pending_.find(sinkInput);
        if (wanted != pending_.end() && wanted->second == sink) return;
        pending_[sinkInput] = sink;
        Drop(pa_context_get_sink_info_by_index(context_, sink, OnSinkInfo, this));
    }

    static void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user) {
        if (eol || !info || !info->monitor_source_name) return;
        auto* self = static_cast<MonitorCapture*>(user);
        if (!self->Application()) {
            for (auto& m : self->monitors_)
                if (!m->dead && m->sink == info->index) return;
            self->Open(PA_INVALID_INDEX, info->index, info->monitor_source_name, info->name);
            self->Choose();
            return;
        }
        for (auto it = self->pending_.begin(); it != self->pending_.end();) {
            if (it->second != info->index) {
                ++it;
                continue;
            }
            self->Open(it->first, info->index, info->monitor_source_name, info->name);
            it = self->pending_.erase(it);
        }
    }

    // ---- the monitor streams ----

    void Open(std::uint32_t sinkInput, std::uint32_t sink, const char* source, const char* sinkName) {
        pa_sample_spec spec{};
        spec.format = format_.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
        spec.rate = format_.samplesPerSec;
        spec.channels = static_cast<std::uint8_t>(format_.channels);
        pa_stream* stream = pa_stream_new(context_, "Tapelark recording", &spec, nullptr);
        if (!stream) return;
        auto monitor = std::make_unique<Monitor>(
            Monitor{this, stream, sinkInput, sink, sinkName ? sinkName : "", Application() ? mixer_.AddTrack() : 0});
        Monitor* m = monitor.get();
        monitors_.push_back(std::move(monitor));
        if (sinkInput != PA_INVALID_INDEX) pa_stream_set_monitor_stream(stream, sinkInput);
        pa_stream_set_state_callback(stream, OnStreamState, m);
        pa_stream_set_read_callback(stream, OnRead, m);
        pa_buffer_attr attr{};
        attr.maxlength = attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
        attr.fragsize = static_cast<std::uint32_t>(Frames(kFragment) * format_.blockAlign);
        // Never let the server move this capture elsewhere when the program's
        // stream ends: it would record everything else instead.
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
        if (pa_stream_connect_record(stream, source, &attr, flags) < 0) m->dead = true;
    }

    static void OnStreamState(pa_stream* stream, void* user) {
        auto* m = static_cast<Monitor*>(user);
        pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) m->dead = true;
    }

    static void OnRead(pa_stream* stream, std::size_t, void* user) {
        auto* m = static_cast<Monitor*>(user);
        MonitorCapture& self = *m->owner;
        if (!m->dead && m->track != 0 && !self.mixer_.Started(m->track)) {
            // What the server holds now was played as long ago as it lasts.
            std::uint64_t now = self.Frames(pa_rtclock_now() - self.start_);
            std::uint64_t lasts = pa_stream_readable_size(stream) / self.format_.blockAlign;
            self.mixer_.StartAt(m->track, now > lasts ? now - lasts : 0);
        }
        while (pa_stream_readable_size(stream) > 0) {
            const void* data = nullptr;
            std::size_t bytes = 0;
            if (pa_stream_peek(stream, &data, &bytes) < 0) {
                m->dead = true;
                return;
            }
            if (bytes == 0) break;
            if (!m->dead && m->track != 0) self.mixer_.Push(m->track, data, bytes);
            pa_stream_drop(stream);
        }
        if (self.tick_) {
            self.MixDue();
            // Sound that arrives is mixed here, so the tick (for silence, and
            // for streams that ended) can wait: a restart costs the loop less
            // than a wake-up of its own.
            if (std::none_of(self.monitors_.begin(), self.monitors_.end(),
                             [](const std::unique_ptr<Monitor>& other) { return other->dead; }))
                RestartTimer(self.api_, self.tick_, kTick);
        }
        if (!m->heard && !m->dead) {
            m->heard = true;
            if (m->track != 0) self.hearing_.store(true);
        }
    }

    void Remove(Monitor* m) {
        pa_stream_set_state_callback(m->stream, nullptr, nullptr);
        pa_stream_set_read_callback(m->stream, nullptr, nullptr);
        pa_stream_state_t state = pa_stream_get_state(m->stream);
        if (state == PA_STREAM_READY || state == PA_STREAM_CREATING) pa_stream_disconnect(m->stream);
        pa_stream_unref(m->stream);
        if (m->track != 0) mixer_.Close(m->track);
        monitors_.erase(std::find_if(monitors_.begin(), monitors_.end(),
                                     [m](const std::unique_ptr<Monitor>& p) { return p.get() == m; }));
    }

    void Reap() {
        for (std::size_t i = monitors_.size(); i-- > 0;)
            if (monitors_[i]->dead) Remove(monitors_[i].get());
        bool mixed = std::any_of(monitors_.begin(), monitors_.end(),
                                 [](const std::unique_ptr<Monitor>& m) { return m->track != 0; });
        // The default output's monitor failed or never came: ask again.
        if (!Application() && ready_ && !mixed) {
            Drop(pa_context_get_sink_info_list(context_, OnSinkInfo, this));
            Drop(pa_context_get_server_info(context_, OnServerInfo, this));
        }
        hearing_.store(std::any_of(monitors_.begin(), monitors_.end(),
                                   [](const std::unique_ptr<Monitor>& m) { return m->heard && m->track != 0; }));
    }

    static void OnTick(pa_mainloop_api* api, pa_time_event* event, const timeval*, void* user) {
        auto* self = static_cast<MonitorCapture*>(user);
        self->Reap();
        self->MixDue();
        RestartTimer(api, event, kTick);
    }

    WaveFormat format_;
    CaptureInput input_;
    CaptureTarget& target_;
    ClockedMixer mixer_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_mainloop_api* api_ = nullptr;
    pa_context* context_ = nullptr;
    pa_time_event* tick_ = nullptr;
    pa_time_event* retry_ = nullptr;
    pa_usec_t start_ = 0;
    bool ready_ = false;
    int draining_ = 0;
    std::vector<std::unique_ptr<Monitor>> monitors_;
    std::string wantedSink_;                              // output: the default sink's name
    std::map<std::uint32_t, std::uint32_t> pending_;      // application: sink input -> its sink
    std::map<std::uint32_t, std::vector<std::pair<std::uint32_t, std::uint32_t>>> byClient_;
    std::atomic<bool> hearing_{false};
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
