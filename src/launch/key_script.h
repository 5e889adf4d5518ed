#pragma once
// Key-input scripts: keystrokes, mouse clicks, pasted item values, waits,
// window and screen conditions and jumps, sent to whatever window has the
// focus. Commands are separated by ";" or line ends and are read without
// regard to case.
#include <atomic>
#include <functional>
#include <string>

#include "platform/synthetic_input.h"

namespace vel {

// What a script run from a launch knows of the launch (the start script). An
// exit request runs without one.
struct KeyScriptLaunch {
  // Expands a placeholder command such as "$TITLE" as a launch value.
  std::function<std::string(const std::string&)> expandLaunchValue;
  // The item is part of a multi-disk set: the <MULTIPLE_DISKS> blocks run.
  bool multiDiskItem = false;
  // Each screen sample is also drawn on the last monitor.
  bool stepMode = false;
};

// The longest a single WAIT sleeps and a key delay (WL) lasts: a script that
// asks for more waits this long, so that a launch is never held for days.
inline constexpr unsigned kLongestScriptWaitMs = 10 * 60 * 1000;

// Runs the script (CP932 text) to its end on the calling thread. `launch` is
// null for an exit request. Alt, Shift and Ctrl are released however the
// script ends. The only dialog is the question about a long-running loop.
void RunKeyScript(const std::string& script, const KeyScriptLaunch* launch, InputHost& host);

// Ends the start scripts running now at their next command or within a
// fraction of a second of a wait (the tray menu's "エミュ起動待機を中止").
void StopRunningStartScripts();

// The script as it is interpreted: ";" after every command, line ends as
// ";", no tabs, no leading ";", and "<→" written as "<GOTO:".
std::string PrepareKeyScript(const std::string& script);

}  // namespace vel
