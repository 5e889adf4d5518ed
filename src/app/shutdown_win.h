#pragma once
// Ending and restarting the program.
#include <string>

namespace vel {

struct AppState;

// Clean-up, menus and fonts destroyed, quit message posted.
void EndProgram(AppState& app);
// Starts the program again with the given options and ends this instance.
void RestartProgram(AppState& app, const std::string& options);
// Closes the connections, releases the libraries and ends the process.
[[noreturn]] void FinalExit(AppState& app);
// Stores the window placement and the other exit keys, unless told not to.
void SaveSettingsAtExit(AppState& app);

}  // namespace vel
