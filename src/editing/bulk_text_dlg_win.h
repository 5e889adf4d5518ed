#pragma once
// "MakerChgDlg": one typed value for a text field of every selected item.

namespace vel {

struct AppState;

// Registers 1171-1177 (title with its reading and smart title, maker,
// developer, country, version, release date, creators) with the command table.
void RegisterBulkTextCommands();

}  // namespace vel
