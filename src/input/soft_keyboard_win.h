#pragma once
// The software keyboard window "SoftKeyDlg": a top-most tool window owned by
// the main window that types into the search box.
#include "input/pad_polls.h"

namespace vel {

struct AppState;

void OpenSoftKeyboard(AppState& app);
void CloseSoftKeyboard(AppState& app);
bool IsSoftKeyboardOpen();
// Status-bar part 6: opens or closes it.
void ToggleSoftKeyboard(AppState& app);
// What the pad does while the keyboard is open.
void SoftKeyboardPadCommand(AppState& app, PadCommand command);

}  // namespace vel
