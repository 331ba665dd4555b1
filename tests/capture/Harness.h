// SPDX-License-Identifier: MIT
#pragma once
#include "capture/WaveRecording.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {

// The capture engine on fakes, over a multimedia system of the test's choice.
template <typename Mci = FakeMciChannel>
struct CaptureHarness {
    Mci mci;
    FakeMessageBoxes messages;
    FakeFileSystem files;
    WaveRecording engine{mci, messages, files};
};

}  // namespace tapelark::testing
