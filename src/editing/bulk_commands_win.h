#pragma once
// The commands that change every selected item at once: the assignment
// submenus, removal from the library and the launch-information reset.

namespace vel {

// Registers the assignment ranges, 1200, 1201 and the filler of the
// emulator-setting submenu with the command table.
void RegisterBulkCommands();

}  // namespace vel
