// SPDX-License-Identifier: MIT
#pragma once
#include <pulse/pulseaudio.h>

#include <cstdint>
#include <functional>

#include "platform/mci/WaveFormat.h"

namespace tapelark {

// One client connection to the sound server, on a main loop thread of its
// own. libpulse is touched only on that thread (in callbacks) or with the
// loop locked. Never starts a server of its own.
class PulseConnection {
public:
    // How long a server may take to answer before we call it unreachable:
    // commands must stay quick, and a live server answers in milliseconds.
    static constexpr pa_usec_t kAnswerTimeout = 5 * PA_USEC_PER_SEC;

    PulseConnection() = default;
    // Disconnects and ends the thread; no callback runs once it returns.
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Starts the loop and connects: 0 once the server answers, else an MCI
    // error that keeps the cause (no server, no file handles left, ...).
    std::uint32_t Connect();
    // From now on, when the server goes away, `lost` runs and a new
    // connection is tried every second; `ready` runs once one answers. Both
    // on the loop's thread, locked. Call locked.
    void StayConnected(std::function<void()> ready, std::function<void()> lost);

    // Locked: no more callbacks of the server, no more tries.
    void Disconnect();

    pa_context* Context() const { return context_; }
    pa_mainloop_api* Api() const { return api_; }
    bool Ready() const { return context_ && pa_context_get_state(context_) == PA_CONTEXT_READY; }

    // Both do nothing when the loop never started.
    void Lock() const {
        if (loop_) pa_threaded_mainloop_lock(loop_);
    }
    void Unlock() const {
        if (loop_) pa_threaded_mainloop_unlock(loop_);
    }
    // Wakes a Wait(); callbacks that change what it waits for call it.
    void Signal() const { pa_threaded_mainloop_signal(loop_, 0); }
    // Locked: until `done()` or `timeout` has passed; whether done.
    template <typename Done>
    bool Wait(Done done, pa_usec_t timeout = kAnswerTimeout) {
        bool fired = false;
        pa_time_event* timer = NewTimer(timeout, [this, &fired] { fired = true, Signal(); });
        while (!done() && !fired) pa_threaded_mainloop_wait(loop_);
        FreeTimer(timer);
        return done();
    }

    // A stream in `format`'s sample spec, or null.
    pa_stream* NewStream(const char* name, const WaveFormat& format) const;
    // Forgets its callbacks, disconnects and lets go of it; null is fine.
    static void Dispose(pa_stream* stream);
    // The MCI error for a stream that failed to start or broke off.
    std::uint32_t StreamError(bool capture) const;

    // A timer that runs `fire` once, `after` from now (PA_USEC_INVALID:
    // only once restarted), on the loop's thread.
    pa_time_event* NewTimer(pa_usec_t after, std::function<void()> fire);
    void RestartTimer(pa_time_event* timer, pa_usec_t after);
    void FreeTimer(pa_time_event* timer);

private:
    bool StartContext();
    void DisposeContext();
    static void OnState(pa_context* context, void* user);

    pa_threaded_mainloop* loop_ = nullptr;
    pa_mainloop_api* api_ = nullptr;
    pa_context* context_ = nullptr;
    std::function<void()> ready_, lost_;
    pa_time_event* retry_ = nullptr;
    bool away_ = false;
};

}  // namespace tapelark
