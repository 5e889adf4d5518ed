#pragma once
// Ctrl+Tab and Ctrl+Shift+Tab in the program's dialogs: the next or previous
// page of the tabbed dialog in front.
#include <windows.h>

namespace vel {

struct AppState;

// True when the key stepped a page (the message is then to be swallowed).
bool StepDialogPage(AppState& app, const MSG& message);

}  // namespace vel
