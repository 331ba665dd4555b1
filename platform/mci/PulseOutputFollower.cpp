// SPDX-License-Identifier: MIT
// Following the default output: a monitor of every sink, the default one's mixed.
#include <map>

#include "platform/mci/PulseStreamFollower.h"

namespace tapelark {

namespace {

void Drop(pa_operation* operation) {
    if (operation) pa_operation_unref(operation);
}

class OutputFollower final : public StreamFollower {
public:
    explicit OutputFollower(MonitorSet& monitors) : monitors_(monitors) {}

    void Connected(pa_context* context) override {
        context_ = context;
        pa_context_set_subscribe_callback(context, OnEvent, this);
        auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SINK);
        Drop(pa_context_subscribe(context, mask, nullptr, nullptr));
        Drop(pa_context_get_sink_info_list(context, OnSinkInfo, this));
        Drop(pa_context_get_server_info(context, OnServerInfo, this));
    }

    void Lost() override {
        context_ = nullptr;
        sinks_.clear();
    }

    void Ended(int monitor) override {
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->second.monitor != monitor) continue;
            // Ask again: the sink may still be there.
            if (context_) Drop(pa_context_get_sink_info_by_index(context_, it->first, OnSinkInfo, this));
            sinks_.erase(it);
            return;
        }
    }

private:
    struct Sink {
        std::string name;
        int monitor;
    };

    static void OnEvent(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index, void* user) {
        auto* self = static_cast<OutputFollower*>(user);
        auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
            Drop(pa_context_get_server_info(context, OnServerInfo, self));
        } else if (facility == PA_SUBSCRIPTION_EVENT_SINK) {
            if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_REMOVE)
                return Drop(pa_context_get_sink_info_by_index(context, index, OnSinkInfo, self));
            auto gone = self->sinks_.find(index);
            if (gone == self->sinks_.end()) return;
            self->monitors_.CloseMonitor(gone->second.monitor);
            self->sinks_.erase(gone);
        }
    }

    static void OnServerInfo(pa_context*, const pa_server_info* info, void* user) {
        auto* self = static_cast<OutputFollower*>(user);
        if (!info || !info->default_sink_name) return;
        self->default_ = info->default_sink_name;
        for (auto& [index, sink] : self->sinks_) self->monitors_.MixMonitor(sink.monitor, sink.name == self->default_);
    }

    static void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* user) {
        auto* self = static_cast<OutputFollower*>(user);
        if (eol || !info || !info->monitor_source_name || self->sinks_.count(info->index)) return;
        bool mixed = info->name == self->default_;
        self->sinks_[info->index] = {info->name, self->monitors_.OpenMonitor(PA_INVALID_INDEX,
                                                                             info->monitor_source_name, mixed)};
    }

    MonitorSet& monitors_;
    pa_context* context_ = nullptr;
    std::map<std::uint32_t, Sink> sinks_;  // by index
    std::string default_;
};

}  // namespace

std::unique_ptr<StreamFollower> FollowDefaultOutput(MonitorSet& monitors) {
    return std::make_unique<OutputFollower>(monitors);
}

}  // namespace tapelark
