#pragma once
// The maintenance commands: import, CRC recalculation, readings, smart
// titles, and the multi-disk set and alter-ego commands of the 編集 menu.
namespace vel {
void RegisterMaintenanceCommands();
}  // namespace vel
