#pragma once
// The message hook of the GUI thread: the keyboard shortcuts of the main
// window, by the pane that has the focus.
#include <windows.h>

#include "input/shortcut_keys.h"

namespace vel {

struct AppState;

// Reads the key file and installs the hook. False when the hook could not
// be installed.
bool InstallMessageHook(AppState& app);
// The keys read from the key file, for the menus to show.
const ShortcutTable& CurrentShortcutKeys();
// The keys the shortcut key dialog saved, in force from the next key on.
void ReplaceShortcutKeys(const ShortcutTable& keys);
// True when no drag modifier (listdrag) is assigned or its key is held.
bool ListDragModifierHeld();
// While set, keys taken out of the queue to be looked at (a long search
// watching for Esc) pass the hook without acting.
void SetTakingKeysOut(bool taking);

}  // namespace vel
