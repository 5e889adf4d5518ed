#pragma once
// The controller polls on the main window's timers: timer 2 (25 ms) for the
// UI poll, timer 4 (300 ms) for ending a running emulator.
#include <windows.h>

#include "input/pad_polls.h"
#include "input/pad_settings.h"

namespace vel {

struct AppState;

inline constexpr UINT_PTR kPadUiTimer = 2;
inline constexpr UINT_PTR kPadExitTimer = 4;

// Reads the controller file; `enable` counts from here on until the next start.
void StartPadInput(AppState& app);
// Routes the main window's timers 2 and 4.
void OnPadTimer(AppState& app, UINT_PTR timer);

const PadSettings& CurrentPadSettings();
// Takes the settings the dialog saved (`enable` keeps its start-up value
// for the polls).
void ReplacePadSettings(const PadSettings& settings);
// The settings dialog reads the pads itself while it is open.
void SetPadSettingsDialogOpen(bool open);


}  // namespace vel
