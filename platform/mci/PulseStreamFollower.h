// SPDX-License-Identifier: MIT
#pragma once
#include <pulse/pulseaudio.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tapelark {

// The monitor streams of a recording, as a follower opens and closes them.
class MonitorSet {
public:
    virtual ~MonitorSet() = default;
    // Listens at `source` (a sink's monitor), to just the sink input
    // `sinkInput` unless that is PA_INVALID_INDEX; in the take or not.
    // Returns the monitor's number, never 0.
    virtual int OpenMonitor(std::uint32_t sinkInput, const char* source, bool mixed) = 0;
    // What it has brought is still mixed.
    virtual void CloseMonitor(int monitor) = 0;
    virtual void MixMonitor(int monitor, bool mixed) = 0;
};

// Decides from the server's events which streams a recording hears. Runs on
// the connection's thread, locked.
class StreamFollower {
public:
    virtual ~StreamFollower() = default;
    // Connected, at the start or again: subscribes and looks at what plays.
    virtual void Connected(pa_context* context) = 0;
    // The server went away, and every monitor with it.
    virtual void Lost() = 0;
    // A monitor ended by itself: it failed to start, or what it listened
    // to went away. At most once a second, so a retry does not spin.
    virtual void Ended(int monitor) = 0;
};

// What the default output plays: every output is listened to and only the
// default one's sound is in the take, so a change of output is heard at once.
std::unique_ptr<StreamFollower> FollowDefaultOutput(MonitorSet& monitors);

// What programs play whose executable name ends with `nameTail`, case
// ignored: a monitor of each of their streams, followed as they come, go
// and move. An empty tail hears nothing rather than everything.
std::unique_ptr<StreamFollower> FollowProgram(MonitorSet& monitors, const std::string& nameTail);

}  // namespace tapelark
