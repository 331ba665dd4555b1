// SPDX-License-Identifier: MIT
#pragma once
#include "capture/WaveRecording.h"
#include "tests/fakes/FakeFileSaving.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {

// The capture logic on fakes.
struct CaptureHarness {
    FakeMciChannel mci;
    FakeMessageBoxes messages;
    FakeFileSaving saving;
    WaveRecording capture{mci, messages, saving};
};

}  // namespace tapelark::testing
