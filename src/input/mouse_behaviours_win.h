#pragma once
// The mouse behaviours of the main window that the message hook carries
// out: the wheel over the panes and the middle button as Scroll Lock.
#include <windows.h>

#include <functional>

namespace vel {

struct AppState;

// Acts on a mouse message taken from the queue; the wheel's value is set to 0
// where the message is to be swallowed.
void HandleMouseMessage(AppState& app, MSG& message);

// Re-arms the demo-mode timer on the user's mouse and key input; set by demo
// mode once it exists (empty: nothing to re-arm).
void SetDemoTimerRearm(std::function<void()> rearm);
void RearmDemoTimer();

}  // namespace vel
