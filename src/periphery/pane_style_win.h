#pragma once
// The panes' fonts and colours from the settings and the current colour set:
// made once at start and again when the settings dialog is confirmed.
#include <windows.h>

#include <cstddef>

namespace vel {

struct AppState;

COLORREF PaneColour(const char* section, const char* key);

// Reads the colour keys of the current layout's file into the current colours.
void ReadPaneColours(AppState& app);
// Makes the fonts of the font groups, gives the panes their fonts and
// background colours, rebuilds the item list's columns and redraws.
void ApplyPaneStyle(AppState& app);

// Row drawing of the item list and the group list.
void FillItemRowBackground(HDC dc, const RECT& row, int rowNumber, bool selected);
// `furtherDisk`: a row of the second or a later disk of a set, in `PlyColor`.
COLORREF ItemRowTextColour(bool selected, bool furtherDisk = false);
// The font of rows of the second or a later disk (the `Ply` font); null before the fonts are made.
HFONT ItemRowPlyFont();
void DrawItemRowRules(HDC dc, const RECT& row, size_t columns, HWND list);
void FillGroupRowBackground(HDC dc, const RECT& row, bool selected);
COLORREF GroupRowTextColour(bool selected);

}  // namespace vel
