#pragma once
// The help viewer, loaded at run time so that a system without it still runs.
#include <windows.h>

namespace vel {

struct AppState;

void InitialiseHelp(AppState& app);
// Opens a topic of the program's help file; says so when there is no help.
void OpenHelpTopic(AppState& app, HWND owner, const char* topic);

// Closes any help window the user opened, then uninitialises.
void UninitialiseHelp(AppState& app);

}  // namespace vel
