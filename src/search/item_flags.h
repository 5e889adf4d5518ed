#pragma once
// The marks an item carries that the list changes directly: the rating
// (0..5 stars), the adult flag and the ten favourite marks, with the
// statements that store them and the geometry of the stars.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/settings_file.h"
#include "db/selection_batch.h"

namespace vel {

class LibraryConnection;

// ---- Rating stars: one geometry for drawing and for the hit test.
struct StarGeometry {
  int left = 0;  // x of the first star's left edge
  int top = 0;   // y of the stars' top edge
  int size = 0;  // width and height of a star
  int step = 0;  // from one star's left edge to the next
};
// The stars drawn in a cell whose left edge is `left` and rows run from `top` to `bottom`.
StarGeometry StarsInCell(int left, int top, int bottom);
// The rating value (0, 10, ..., 50) a click at (x, y) sets, or nothing when
// the click is off the stars: up to the first star's left edge 0, within
// star k its value k * 10, up to 5 pixels beside the fifth star 50.
std::optional<int> RatingAtPoint(const StarGeometry& stars, int x, int y);

std::string RatingStatement(const std::string& key, int value);

// ---- Adult flag: "1" unless the focused row's is "1" (an empty value is unmarked).
std::string NewAdultValue(const std::string& focusedAdult);
std::string AdultStatement(const std::string& key, const std::string& value);
// Stores the value ("0" or "1") for every key in one transaction: all of it
// or, on the first failure, none of it (the failure names AdultStatement's text).
std::optional<BatchFailure> WriteAdult(LibraryConnection& db, const std::vector<std::string>& keys,
                                       const std::string& value);

// ---- Favourites. A digit outside '0'..'9' is taken as '0'.
char FavouriteDigit(int digit);
// Removing when the focused row carries the mark, else adding.
bool FavouriteAdds(const std::string& focusedFave, char digit);
// The row's marks with the digit removed everywhere, or appended when absent.
std::string ChangedFave(const std::string& fave, char digit, bool add);
// DELETE for an empty result, INSERT OR REPLACE otherwise.
std::string FavouriteStatement(const std::string& key, const std::string& newFave);

struct FlagRow {
  std::string key;    // file_name (CP932)
  std::string value;  // the row's current value of the mark (fave / adult)
};
// Stores the change of one mark for every row in one transaction: all of it
// or, on the first failure, none of it. The new value of each row is in
// `newValues` (same order as `rows`).
std::optional<BatchFailure> WriteFavourites(LibraryConnection& db, const std::vector<FlagRow>& rows,
                                            const std::vector<std::string>& newValues);

// ---- Favourite names and colours.
// Windows colour values (red in the low byte), as the pane colours.
inline constexpr uint32_t kFavouriteBoxColour = 0x888888;
inline constexpr uint32_t kFavouriteTextColour = 0x333333;
struct FavouriteMark {
  std::string name;  // at most 30 bytes, cut by character
  uint32_t boxColour = kFavouriteBoxColour;
  uint32_t textColour = kFavouriteTextColour;
};
using FavouriteMarks = std::array<FavouriteMark, 10>;

// "d: name" with every "&" doubled, or "d" when no name is set.
std::string FavouriteMenuText(int digit, const std::string& name);
// A name kept to 30 bytes without splitting a character.
std::string FavouriteName(const std::string& text);

// The favourite boxes of the information pane, laid out from the right edge
// leftwards (the highest digit rightmost). `widths` holds each shown box's
// natural width (name text + 12, or 12 without a name) in digit order.
// When they do not fit, boxes other than the hovered one (-1 = none) shrink
// to 12 pixels (those wider than 7), and when they still do not fit all share
// the width equally. Returns each box's left edge and width, in the same order.
struct BoxPlace {
  int left = 0;
  int width = 0;
};
std::vector<BoxPlace> LayoutFavouriteBoxes(const std::vector<int>& widths, int right, int available, int hovered);

// The information pane's stars: five, 16 pixels apart from `left`. The value a
// click at x sets: star k gives k * 10, the area beside the stars 0.
int PaneRatingAtPoint(int left, int x);

// The colours of the ten marks from a layout or theme file, or from the
// shipped fallback file when that file has no box colour for "0", in the
// notation of the pane colours. An absent key keeps the default.
void ReadFavouriteColours(FavouriteMarks& marks, const std::string& colourFile, const std::string& fallbackFile);
// The entries that store the marks' colours in a layout file, in the notation read above.
std::vector<ProfileEntry> FavouriteColourEntries(const FavouriteMarks& marks);
// The shipped file the marks' colours fall back to.
std::string FavouriteFallbackFile(const std::string& base);

// The marks' colours the item list and the information pane draw with: read
// from `colourFile` (or the fallback file) on first use, and replaced when the
// settings dialog is confirmed with a loaded colour theme.
const FavouriteMarks& CurrentFavouriteColours(const std::string& colourFile, const std::string& fallbackFile);
void ReplaceFavouriteColours(const FavouriteMarks& marks);

}  // namespace vel
