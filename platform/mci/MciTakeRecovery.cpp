// SPDX-License-Identifier: MIT
#include "platform/mci/MciTakeRecovery.h"

#include <ctime>

#include "platform/mci/LeftTakes.h"

namespace tapelark {
namespace {

LocalTime Local(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return {};
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

}  // namespace

std::vector<UnsavedTake> MciTakeRecovery::UnsavedTakes() {
    std::vector<UnsavedTake> unsaved;
    // One without sound has nothing to save; mcisend reports it.
    for (const LeftTake& take : FindLeftTakes())
        if (take.Problem().empty()) unsaved.push_back({take.id, take.Seconds(), Local(take.started)});
    return unsaved;
}

LocalTime MciTakeRecovery::Now() { return Local(static_cast<std::int64_t>(std::time(nullptr))); }

std::string MciTakeRecovery::Save(const std::string& id, const std::string& path) { return RecoverTake(id, path); }

void MciTakeRecovery::Discard(const std::string& id) { DiscardTake(id); }

}  // namespace tapelark
