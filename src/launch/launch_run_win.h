#pragma once
// Launching an item: one worker thread per launch runs the emulator from
// preparation to clean-up while the GUI stays alive.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

// Starts the launch of list row `row` (1-based) with the chosen configuration
// ("" = the machine default) and boot disk (0 = none). Both travel with the
// launch, so that a second launch never changes the first one's.
// While demo mode runs only a forced launch (the demo's own) goes ahead.
void RequestLaunch(AppState& app, int row, const std::string& chosenConfig, int bootDisk, bool force = false);
// The ordinary launch of the focused item with its own configuration.
void LaunchFocusedItem(AppState& app);
// An entry of the emulator menu (its configuration, boot disk 0) or of the
// disk menu (the machine default, that disk first) for the focused item.
bool IsLaunchMenuCommand(int id);
void LaunchFromMenu(AppState& app, int id);
// The exit request of the joystick button and demo mode: ends the emulator
// the newest launch waits on (terminates it, or types its exit script).
void SendExitRequest(AppState& app);
// The tray command "エミュ起動待機を中止": stops waiting for an emulator's window.
void AbortWindowWait();
// True from that command until the next launch starts waiting for a window.
bool WindowWaitAborted();
// Emulators started by launches that have not ended yet.
int RunningEmulators();
// True from a launch request until its launch has given the main window back.
bool LaunchInProgress();
// Launches from their preparation to their clean-up.
int LaunchesUnderWay();
// True while an emulator runs whose end an exit request can bring about.
bool ExitRequestPending();
// Deletes what launches that ended without their clean-up (the program was
// ended during a run) placed in their extraction folders, and nothing else.
void CleanUpAfterEndedLaunches(AppState& app);

}  // namespace vel
