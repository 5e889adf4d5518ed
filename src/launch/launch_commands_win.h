#pragma once
// The launch commands: Enter's default launch, the emulator and disk menus,
// the configuration list and the tray's stop of a window wait.
namespace vel {
void RegisterLaunchCommands();
}  // namespace vel
