// SPDX-License-Identifier: MIT
#pragma once

namespace tapelark {

// Whether this process runs under Wine rather than Windows.
bool RunningUnderWine();

// Waits, at most `timeoutMs` in all, for the threads of this process that
// the waveaudio driver (mciwave.dll) started to end. Wine's driver records
// and plays on such a thread, which goes on cleaning up after "stop" has
// returned; closing the device meanwhile frees what it still uses.
void AwaitWaveDriverThreads(unsigned timeoutMs);

}  // namespace tapelark
