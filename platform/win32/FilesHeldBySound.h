// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace tapelark {

// winmm keeps a file it saved open, without leave to delete it, until its
// device closes. Such a file is noted here and removed once "close all" has
// let go of it.
void RemoveWhenReleased(const std::string& path);
// Removes what no device holds any more; the rest stays noted.
void RemoveReleasedFiles();
bool AnyFileAwaitsRelease();

}  // namespace tapelark
