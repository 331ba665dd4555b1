// SPDX-License-Identifier: MIT
#pragma once
#include "capture/WaveRecording.h"
#include "tests/fakes/FakeFileSystem.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBoxes.h"

namespace tapelark::testing {

struct CaptureHarness {
    FakeMciChannel mci;
    FakeMessageBoxes messages;
    FakeFileSystem files;
    FakeShortPaths shortPaths{files};
    WaveRecording engine{mci, messages, files, shortPaths};
};

}  // namespace tapelark::testing
