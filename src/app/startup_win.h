#pragma once
#include <windows.h>

namespace vel {

struct AppState;

// Start-up, message loop and final exit of the program.
int RunProgram(HINSTANCE instance);

// The configured library cannot be opened: asks whether to open the default
// library for this run instead of ending (the configured location stays in
// the settings). True when the user chose the default; the database path and
// both connections then name it.
bool OfferDefaultLibrary(AppState& app);

}  // namespace vel
