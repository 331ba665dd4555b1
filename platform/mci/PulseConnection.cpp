// SPDX-License-Identifier: MIT
#include "platform/mci/PulseConnection.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/mci/MciErrors.h"
#include "platform/mci/PulseContext.h"

namespace tapelark {

namespace {

constexpr pa_usec_t kRetry = 1 * PA_USEC_PER_SEC;

// libpulse says only that it could not connect; when no file handle is
// left, that is the cause to tell, not a missing server.
std::uint32_t UnlessOutOfHandles(std::uint32_t otherwise) {
    int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return otherwise;
    }
    return mcierr::FromResourceErrno(errno, otherwise);
}

}  // namespace

PulseConnection::~PulseConnection() {
    if (!loop_) return;
    Lock();
    Disconnect();
    Unlock();
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
}

std::uint32_t PulseConnection::Connect() {
    loop_ = pa_threaded_mainloop_new();
    if (!loop_) return mcierr::FromResourceErrno(errno, mcierr::kOutOfMemory);  // its wake-up pipe
    api_ = pa_threaded_mainloop_get_api(loop_);
    if (pa_threaded_mainloop_start(loop_) < 0) {
        pa_threaded_mainloop_free(loop_);
        loop_ = nullptr;
        api_ = nullptr;
        return UnlessOutOfHandles(mcierr::kInternal);
    }
    Lock();
    bool ready = StartContext() && Wait([this] {
        pa_context_state_t s = pa_context_get_state(context_);
        return s == PA_CONTEXT_READY || s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED;
    }) && Ready();
    Unlock();
    return ready ? 0 : UnlessOutOfHandles(mcierr::kNoSoundServer);
}

void PulseConnection::Disconnect() {
    FreeTimer(retry_);
    retry_ = nullptr;
    DisposeContext();
}

bool PulseConnection::StartContext() {
    context_ = NewPulseContext(api_);
    if (!context_) return false;
    pa_context_set_state_callback(context_, OnState, this);
    return pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
}

void PulseConnection::DisposeContext() {
    if (!context_) return;
    pa_context_set_state_callback(context_, nullptr, nullptr);
    pa_context_set_subscribe_callback(context_, nullptr, nullptr);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
}

void PulseConnection::StayConnected(std::function<void()> ready, std::function<void()> lost) {
    ready_ = std::move(ready);
    lost_ = std::move(lost);
    retry_ = NewTimer(PA_USEC_INVALID, [this] {
        DisposeContext();
        if (!StartContext()) RestartTimer(retry_, kRetry);
    });
}

void PulseConnection::OnState(pa_context* context, void* user) {
    auto* self = static_cast<PulseConnection*>(user);
    pa_context_state_t state = pa_context_get_state(context);
    if (self->retry_ && state == PA_CONTEXT_READY && self->away_) {
        self->away_ = false;
        self->ready_();
    } else if (self->retry_ && (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)) {
        if (!self->away_) self->lost_();
        self->away_ = true;
        self->RestartTimer(self->retry_, kRetry);
    }
    self->Signal();
}

pa_stream* PulseConnection::NewStream(const char* name, const WaveFormat& format) const {
    pa_sample_spec spec{};
    spec.format = format.bitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
    spec.rate = format.samplesPerSec;
    spec.channels = static_cast<std::uint8_t>(format.channels);
    return context_ ? pa_stream_new(context_, name, &spec, nullptr) : nullptr;
}

void PulseConnection::Dispose(pa_stream* stream) {
    if (!stream) return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY || state == PA_STREAM_CREATING) pa_stream_disconnect(stream);
    pa_stream_unref(stream);
}

std::uint32_t PulseConnection::StreamError(bool capture) const {
    if (!Ready()) return mcierr::kServerLost;
    if (pa_context_errno(context_) == PA_ERR_NOENTITY) return capture ? mcierr::kNoInput : mcierr::kNoOutput;
    return UnlessOutOfHandles(mcierr::kSoundServerError);
}

pa_time_event* PulseConnection::NewTimer(pa_usec_t after, std::function<void()> fire) {
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), after);
    auto* held = new std::function<void()>(std::move(fire));
    // Without a time it waits for a restart.
    pa_time_event* timer = api_->time_new(
        api_, after == PA_USEC_INVALID ? nullptr : &when, [](pa_mainloop_api*, pa_time_event*, const timeval*, void* user) {
            (*static_cast<std::function<void()>*>(user))();
        },
        held);
    api_->time_set_destroy(timer, [](pa_mainloop_api*, pa_time_event*, void* user) {
        delete static_cast<std::function<void()>*>(user);
    });
    return timer;
}

void PulseConnection::RestartTimer(pa_time_event* timer, pa_usec_t after) {
    timeval when{};
    pa_timeval_add(pa_gettimeofday(&when), after);
    api_->time_restart(timer, &when);
}

void PulseConnection::FreeTimer(pa_time_event* timer) {
    if (timer) api_->time_free(timer);
}

}  // namespace tapelark
