// SPDX-License-Identifier: MIT
#pragma once
#include "capture/WaveRecording.h"
#include "tests/fakes/FakeFiles.h"
#include "tests/fakes/FakeMciChannel.h"
#include "tests/fakes/FakeMessageBox.h"

namespace tapelark::testing {

struct CaptureHarness {
    FakeMciChannel mci;
    FakeMessageBox messages;
    FakeFiles files;
    FakeShortPaths shortPaths{files};
    WaveRecording engine{mci, messages, files, shortPaths};
};

}  // namespace tapelark::testing
