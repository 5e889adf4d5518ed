#pragma once
// The message hook of the GUI thread: the keyboard shortcuts of the main
// window, by the pane that has the focus.
#include <windows.h>

namespace vel {

struct AppState;

// Reads the key file, shows the keys in the menus and installs the hook.
// False when the hook could not be installed.
bool InstallMessageHook(AppState& app);

}  // namespace vel
