#pragma once
// The icons of the four master kinds, in image lists whose index is the
// record's number (index 0 holds no icon).
#include <windows.h>
#include <commctrl.h>

#include "editing/master_tables.h"

namespace vel {

struct AppState;

// Reads each kind's icon paths in number order and builds its small (16) and
// large (32) lists: an empty path gives the no-icon image, a missing file the
// missing-icon image.
void RebuildMasterIcons(AppState& app);
void RebuildMasterIcons(AppState& app, MasterKind kind);
void DestroyMasterIcons();

// Draws the icon of record `number` at (x, y) in the size that fits `height`;
// returns the width used (0 when nothing was drawn).
int DrawMasterIcon(HDC dc, MasterKind kind, int number, int x, int y, int height);

}  // namespace vel
