#pragma once
// The "エミュレータで起動" submenu of the focused item, rebuilt as it opens.
#include <windows.h>

namespace vel {

struct AppState;

// Fills `menu` with the configurations of the focused item's machine and,
// for the head of a multi-disk set, its disks. Without a focused item the
// menu holds the "no configuration" line.
void FillEmulatorMenu(AppState& app, HMENU menu);

}  // namespace vel
