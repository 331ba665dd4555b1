// SPDX-License-Identifier: MIT
#pragma once
#include <string>

namespace tapelark {

// The folder that holds takes while they are recorded, so that a take
// outlives a crash: $XDG_STATE_HOME/tapelark, or ~/.local/state/tapelark.
// Empty when there is no home to put it in.
std::string TakeFolder();

// Makes `folder` and its missing parents, private to the user (0700);
// 0 or the errno of the step that failed.
int MakeTakeFolder(const std::string& folder);

// A take's files: its sound (raw PCM frames) and its description.
std::string TakeSoundPath(const std::string& folder, const std::string& id);
std::string TakeDescriptionPath(const std::string& folder, const std::string& id);

// Whether `id` could name a take: short, lower-case letters and digits only,
// so an ID typed by a user never reaches outside the folder.
bool IsTakeId(const std::string& id);

}  // namespace tapelark
