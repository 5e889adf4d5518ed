#pragma once
// Demo mode on the main window: the idle timer (10), the exit timer (11),
// the one-second pauses before the next item (12, 13), the announcement
// window and the demo launches.
#include <windows.h>

namespace vel {

struct AppState;

inline constexpr UINT_PTR kDemoTriggerTimer = 10;
inline constexpr UINT_PTR kDemoExitTimer = 11;
inline constexpr UINT_PTR kDemoMoveTimer = 12;
inline constexpr UINT_PTR kDemoAnnounceTimer = 13;

// Arms the idle timer (at creation and after the user's input); not while a
// launch is in progress or the demo runs.
void ArmDemoTrigger(AppState& app);
// Watches the GUI thread's input (wheel, mouse move, key-down) to re-arm.
void StartDemoSupport(AppState& app);
// Handles timers 10 to 13; false for other timers.
bool OnDemoTimer(AppState& app, UINT_PTR timer);
// Command 1222: starts the demo at once.
void DemoNow(AppState& app);
// From the launch: its emulator runs (timer 11 armed), or it ended.
void DemoEmulatorRunning(AppState& app);
void DemoLaunchEnded(AppState& app);
// The demo flag ends (also at shutdown).
void EndDemo(AppState& app);

}  // namespace vel
