#pragma once
// The rebar along the top of the main window: the menu toolbar, the search
// box window, the main toolbar and the history toolbar.
#include <windows.h>

namespace vel {

struct AppState;

inline constexpr int kRebarId = 80;
inline constexpr UINT_PTR kMenuTrackingTimer = 6;

void CreateRebar(AppState& app);
// Height the rebar takes at the top of the client area.
int RebarHeight(AppState& app);
// Stores the bands' order, widths and line breaks in the settings.
void RememberRebarBands(AppState& app);
void ToggleToolbarLock(AppState& app);
// Opens top-level menu `index` below its button on the menu toolbar.
void OpenMenuOfButton(AppState& app, int index);
// Timer 6: moves an open menu to the button under the pointer.
void TrackMenuButtons(AppState& app);

}  // namespace vel
