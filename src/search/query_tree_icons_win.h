#pragma once
// The pictures of the query tree: two image lists of the same pictures, 16
// and 32 pixels a side, with the default folder and query pictures first and
// the folders' "0.bmp" and the queries' own bitmaps after them.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vel {

inline constexpr int kQueryFolderImage = 0;
inline constexpr int kQueryImage = 1;

// Empties both lists and puts the two default pictures back: those of the
// strips in `resourceFolder`, or drawn ones when a strip is missing.
void ResetQueryTreeImages(const std::string& resourceFolder);
// Adds a bitmap file to both lists, scaled to each size, black (RGB 0,0,0)
// transparent. The picture's index, or `fallback` when the file is missing or
// is no bitmap.
int AddQueryTreeImage(const std::string& bitmapFile, int fallback);
// The list for a tree of `size` pixels: 32 gives the large list, any other the small one.
HIMAGELIST QueryTreeImages(int size);

}  // namespace vel
