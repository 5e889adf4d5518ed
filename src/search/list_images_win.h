#pragma once
// Small pictures of the item list and the group list, drawn by the program:
// the rating stars, the alter-ego marker and the headers' sort arrows.
#include <windows.h>
#include <commctrl.h>

namespace vel {

// Five stars from the left of `cell`, vertically centred, the first `set` of
// them drawn as set. Returns the width used.
int DrawRatingStars(HDC dc, const RECT& cell, int set);
// The marker of an item launched through alter-ego copies, at the left of
// `cell`. Returns the width used.
int DrawAlterEgoMarker(HDC dc, const RECT& cell);
// Four arrows for the headers: ascending and descending of the primary sort
// column, then the same in grey for the other sort keys. Owned by the caller.
HIMAGELIST CreateSortArrowImages();

}  // namespace vel
