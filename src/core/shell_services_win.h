#pragma once
// What the subsystems ask of the application shell: the wait window, the
// tray balloon, the status bar, help, restarts and the main menus. Declared
// here so that every include runs from the shell down to the subsystems; the
// shell defines them.
#include <windows.h>

#include <string>

#include "core/menu_tree.h"

namespace vel {

struct AppState;

// The wait window shown while the start-up finishes or a launch cleans up,
// animated by its own thread; hidden, its thread ends by itself.
void ShowWaitWindow(AppState& app);
void HideWaitWindow(AppState& app);

// A balloon on the tray icon titled "Velmarook2" for 10 seconds with an
// information (quiet), warning or error icon.
enum class BalloonIcon : int { kInformation = 0, kWarning = 1, kError = 2 };
void ShowTrayBalloon(AppState& app, const std::string& text, BalloonIcon icon);
inline void ShowTrayBalloon(AppState& app, const std::string& text, bool warning) {
  ShowTrayBalloon(app, text, warning ? BalloonIcon::kWarning : BalloonIcon::kInformation);
}

// Text in part `part` of the status bar.
void SetStatusText(AppState& app, int part, const std::string& text);
// " 全タイトル数: n" from the library, in part 0.
void ShowTitleCount(AppState& app);

// Opens a topic of the program's help file; says so when there is no help.
void OpenHelpTopic(AppState& app, HWND owner, const char* topic);

// Starts the program again with the given options and ends this instance.
void RestartProgram(AppState& app, const std::string& options);
// Closes the connections, releases the libraries and ends the process.
[[noreturn]] void FinalExit(AppState& app);

// Reads the four master lists (app.masters) again. It runs on the main
// connection, whose result is the item list: reload the list afterwards.
void LoadMasterLists(AppState& app);

// The main menu's submenu of a dynamic list (the emulators, the genres for a
// bulk change ...); null when there is none.
HMENU MainDynamicSubmenu(AppState& app, DynamicList list);
// The 編集 menu of the main menu.
HMENU MainEditMenu(AppState& app);

}  // namespace vel
