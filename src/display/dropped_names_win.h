#pragma once
// Names of files dropped onto a window, taken in their wide form.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

namespace vel {

// The dropped name in CP932, or nothing when CP932 cannot hold it (it is
// refused, never stored mangled).
std::optional<std::string> DroppedName(HDROP drop, UINT index);

// Where the files were dropped. False when the drop's block cannot be read
// (a handle that is no drop of this process), which is then not looked into.
bool DroppedPoint(HDROP drop, POINT& at);

}  // namespace vel
