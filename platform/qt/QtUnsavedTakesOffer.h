// SPDX-License-Identifier: MIT
#pragma once

namespace tapelark {

class QtFormWindow;

// Offers the takes that a crash left unsaved, over the shown `window`.
void OfferUnsavedTakesAtStart(QtFormWindow& window);

}  // namespace tapelark
