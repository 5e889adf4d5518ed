#pragma once
// Command dispatch of the main window: every command identifier that has an
// operation, and what runs it.
#include <windows.h>

namespace vel {

struct AppState;

// True when the command has an operation (menus enable exactly these).
bool HasCommand(int id);
// Runs the command, then brings the main window to the top with the focus
// on the item list.
void RunCommand(AppState& app, int id);

}  // namespace vel
