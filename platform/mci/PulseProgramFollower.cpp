// SPDX-License-Identifier: MIT
// Following one program's streams: a monitor of each, moved with it.
#include <map>
#include <vector>

#include "common/AsciiText.h"
#include "platform/linux/ProcessName.h"
#include "platform/mci/PulseStreamFollower.h"

namespace tapelark {

namespace {

void Drop(pa_operation* operation) {
    if (operation) pa_operation_unref(operation);
}

class ProgramFollower final : public StreamFollower {
public:
    ProgramFollower(MonitorSet& monitors, const std::string& nameTail) : monitors_(monitors), tail_(nameTail) {}

    void Connected(pa_context* context) override {
        context_ = context;
        pa_context_set_subscribe_callback(context, OnEvent, this);
        Drop(pa_context_subscribe(context, PA_SUBSCRIPTION_MASK_SINK_INPUT, nullptr, nullptr));
        Drop(pa_context_get_sink_input_info_list(context, OnSinkInput, this));
    }

    void Lost() override {
        context_ = nullptr;
        followed_.clear();
        byClient_.clear();
    }

    void Ended(int monitor) override {
        for (auto it = followed_.begin(); it != followed_.end(); ++it) {
            if (it->second.monitor != monitor) continue;
            // Ask again: the stream may still be there, and ours.
            if (context_) Drop(pa_context_get_sink_input_info(context_, it->first, OnSinkInput, this));
            followed_.erase(it);
            return;
        }
    }

private:
    struct Followed {
        std::uint32_t sink;
        int monitor;  // 0 while its sink's monitor is asked for
    };

    static void OnEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index, void* user) {
        auto* self = static_cast<ProgramFollower*>(user);
        if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) != PA_SUBSCRIPTION_EVENT_SINK_INPUT) return;
        if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) == PA_SUBSCRIPTION_EVENT_REMOVE)
            self->Follow(index, PA_INVALID_INDEX, false);
        else
            Drop(pa_context_get_sink_input_info(context, index, OnSinkInput, self));
    }

    static void OnSinkInput(pa_context* context, const pa_sink_input_info* info, int eol, void* user) {
        if (eol || !info) return;
        auto* self = static_cast<ProgramFollower*>(user);
        const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
        if (pid || info->client == PA_INVALID_INDEX) return self->Follow(info->index, info->sink, self->Matches(pid));
        // Some servers keep the process on the client only.
        self->byClient_[info->client].push_back({info->index, info->sink});
        Drop(pa_context_get_client_info(context, info->client, OnClient, self));
    }

    static void OnClient(pa_context*, const pa_client_info* info, int eol, void* user) {
        if (eol || !info) return;
        auto* self = static_cast<ProgramFollower*>(user);
        const char* pid = pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID);
        if (!pid) pid = pa_proplist_gets(info->proplist, "pipewire.sec.pid");
        auto waiting = self->byClient_.extract(info->index);
        if (waiting.empty()) return;
        for (auto [sinkInput, sink] : waiting.mapped()) self->Follow(sinkInput, sink, self->Matches(pid));
    }

    // The rule of the process check: the executable name ends with the text,
    // case ignored.
    bool Matches(const char* pid) const {
        if (!pid || !*pid || tail_.empty()) return false;
        // A client names its own process: take nothing but a number from it.
        for (const char* c = pid; *c; ++c)
            if (*c < '0' || *c > '9') return false;
        auto name = ReadProcessName("/proc", pid);
        return name && EndsWithIgnoringAsciiCase(*name, tail_);
    }

    void Follow(std::uint32_t sinkInput, std::uint32_t sink, bool ours) {
        auto found = followed_.find(sinkInput);
        if (found != followed_.end()) {
            if (ours && found->second.sink == sink) return;
            // Gone, or moved to another sink: heard there from now on.
            if (found->second.monitor != 0) monitors_.CloseMonitor(found->second.monitor);
            followed_.erase(found);
        }
        if (!ours || !context_) return;
        followed_[sinkInput] = {sink, 0};
        Drop(pa_context_get_sink_info_by_index(context_, sink, OnSinkInfo, this));
    }

    static void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user) {
        if (eol || !info || !info->monitor_source_name) return;
        auto* self = static_cast<ProgramFollower*>(user);
        for (auto& [sinkInput, followed] : self->followed_)
            if (followed.sink == info->index && followed.monitor == 0)
                followed.monitor = self->monitors_.OpenMonitor(sinkInput, info->monitor_source_name, true);
    }

    MonitorSet& monitors_;
    std::string tail_;
    pa_context* context_ = nullptr;
    std::map<std::uint32_t, Followed> followed_;  // by sink input
    std::map<std::uint32_t, std::vector<std::pair<std::uint32_t, std::uint32_t>>> byClient_;
};

}  // namespace

std::unique_ptr<StreamFollower> FollowProgram(MonitorSet& monitors, const std::string& nameTail) {
    return std::make_unique<ProgramFollower>(monitors, nameTail);
}

}  // namespace tapelark
