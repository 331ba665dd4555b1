// SPDX-License-Identifier: MIT
#pragma once
#include "platform/TakeRecovery.h"

namespace tapelark {

// The takes our engine kept in the take folder, for the window.
class MciTakeRecovery final : public TakeRecovery {
public:
    std::vector<UnsavedTake> UnsavedTakes() override;
    LocalTime Now() override;
    std::string Save(const std::string& id, const std::string& path) override;
    void Discard(const std::string& id) override;
};

}  // namespace tapelark
