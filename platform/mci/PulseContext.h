// SPDX-License-Identifier: MIT
#pragma once
#include <pulse/context.h>
#include <pulse/mainloop-api.h>

namespace tapelark {

// A client context of the sound server, named after the program. libpulse
// writes an authentication cookie into the user's configuration folder when
// it finds none there (common where PipeWire serves); the program writes no
// settings, so in that case the cookie is kept in the runtime folder instead.
pa_context* NewPulseContext(pa_mainloop_api* api);

}  // namespace tapelark
