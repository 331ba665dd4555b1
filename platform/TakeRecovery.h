// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

namespace tapelark {

// A moment on the user's clock, to the minute.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// A take that a program which died left unsaved, and that holds sound.
struct UnsavedTake {
    std::string id;
    double seconds = 0;
    LocalTime started;
};

// Takes kept safe from crashes while they were recorded. On Linux our engine
// keeps them; on Windows winmm keeps its own temporary file and there is
// nothing to offer.
class TakeRecovery {
public:
    virtual ~TakeRecovery() = default;
    // Those that no living program holds, newest first.
    virtual std::vector<UnsavedTake> UnsavedTakes() = 0;
    virtual LocalTime Now() = 0;
    // Saves the take as a WAVE file at `path`, replacing a file there, then
    // forgets it; "" or why it was not saved (the take is then kept).
    virtual std::string Save(const std::string& id, const std::string& path) = 0;
    virtual void Discard(const std::string& id) = 0;
};

}  // namespace tapelark
