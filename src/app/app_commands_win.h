#pragma once
// Fills the command table at start: the shell's own commands and every
// subsystem's.
namespace vel {
void RegisterAllCommands();
}  // namespace vel
