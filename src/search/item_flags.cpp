#include "search/item_flags.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <unordered_set>

#include "db/library_connection.h"
#include "db/prepared_statement.h"
#include "periphery/colours.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {
namespace {
constexpr const char* kFavouriteBoxSection = "FavoriteIgctrBGColor";
constexpr const char* kFavouriteTextSection = "FavoriteIgctrTxtColor";
}  // namespace

StarGeometry StarsInCell(int left, int top, int bottom) {
  StarGeometry stars;
  stars.size = std::clamp(bottom - top - 4, 6, 14);
  stars.step = stars.size + 1;
  stars.left = left;
  stars.top = (top + bottom - stars.size) / 2;
  return stars;
}

std::optional<int> RatingAtPoint(const StarGeometry& stars, int x, int y) {
  const int centreY2 = 2 * stars.top + stars.size;  // twice the vertical centre
  if (std::abs(2 * y - centreY2) > 2 * 8) return std::nullopt;
  if (x <= stars.left - 5 || x >= stars.left + 5 * stars.step + 5) return std::nullopt;
  if (x < stars.left) return 0;
  return std::min((x - stars.left) / stars.step + 1, 5) * 10;
}

std::string RatingStatement(const std::string& key, int value) {
  return "UPDATE main_table SET rating=" + std::to_string(value) + " WHERE file_name='" + Quote(key) + "' ;";
}

std::string NewAdultValue(const std::string& focusedAdult) { return focusedAdult == "1" ? "0" : "1"; }

std::string AdultStatement(const std::string& key, const std::string& value) {
  return "UPDATE main_table SET adult=" + value + " WHERE file_name='" + Quote(key) + "' ;";
}

char FavouriteDigit(int digit) { return digit >= 0 && digit <= 9 ? static_cast<char>('0' + digit) : '0'; }

bool FavouriteAdds(const std::string& focusedFave, char digit) {
  return focusedFave.find(digit) == std::string::npos;
}

std::string ChangedFave(const std::string& fave, char digit, bool add) {
  if (add) return fave.find(digit) == std::string::npos ? fave + digit : fave;
  std::string kept;
  for (char c : fave)
    if (c != digit) kept += c;
  return kept;
}

std::string FavouriteStatement(const std::string& key, const std::string& newFave) {
  if (newFave.empty()) return "DELETE FROM favorite_table WHERE pfile_fv='" + Quote(key) + "' ;";
  return "INSERT OR REPLACE INTO favorite_table( pfile_fv, fave ) VALUES('" + Quote(key) + "','" +
         Quote(newFave) + "') ;";
}

std::optional<BatchFailure> WriteFavourites(LibraryConnection& db, const std::vector<FlagRow>& rows,
                                            const std::vector<std::string>& newValues) {
  std::unordered_set<std::string_view> seen;
  std::vector<size_t> changed;  // indexes of the rows to store, each key once
  for (size_t i = 0; i < rows.size() && i < newValues.size(); ++i) {
    if (newValues[i] == rows[i].value) continue;  // nothing to store for this row
    if (seen.insert(rows[i].key).second) changed.push_back(i);
  }
  if (changed.empty()) return std::nullopt;
  // Two statements parsed once, each key and mark bound: a whole selection
  // is not parsed statement by statement.
  if (auto error = db.Query("BEGIN;")) return BatchFailure{*error, "BEGIN;"};
  PreparedStatement store, remove;
  auto failed = [&](size_t i, std::string error) {
    store.Finalize();
    remove.Finalize();
    BatchFailure failure{std::move(error), FavouriteStatement(rows[i].key, newValues[i])};
    db.Query("ROLLBACK;");
    return failure;
  };
  if (auto error = store.Prepare(db, "INSERT OR REPLACE INTO favorite_table( pfile_fv, fave ) VALUES(?1,?2) ;"))
    return failed(changed.front(), *error);
  if (auto error = remove.Prepare(db, "DELETE FROM favorite_table WHERE pfile_fv=?1 ;"))
    return failed(changed.front(), *error);
  for (size_t i : changed) {
    PreparedStatement& statement = newValues[i].empty() ? remove : store;
    if (!statement.BindText(1, rows[i].key) || (!newValues[i].empty() && !statement.BindText(2, newValues[i])))
      return failed(i, "bind or column index out of range");
    if (auto error = statement.Run()) return failed(i, *error);
    statement.Reset();
  }
  store.Finalize();
  remove.Finalize();
  if (auto error = db.Query("COMMIT;")) {
    BatchFailure failure{*error, "COMMIT;"};
    db.Query("ROLLBACK;");
    return failure;
  }
  return std::nullopt;
}

std::optional<BatchFailure> WriteAdult(LibraryConnection& db, const std::vector<std::string>& keys,
                                       const std::string& value) {
  return RunKeyedStatement(db, keys,
                           {"UPDATE main_table SET adult=?2 WHERE file_name=?1 ;", {value},
                            [&value](const std::string& key) { return AdultStatement(key, value); }});
}

std::string FavouriteMenuText(int digit, const std::string& name) {
  std::string text(1, FavouriteDigit(digit));
  if (name.empty()) return text;
  text += ": ";
  for (char c : name) text += c == '&' ? std::string("&&") : std::string(1, c);
  return text;
}

std::string FavouriteName(const std::string& text) {
  size_t end = 0;
  for (size_t i = 0; i < text.size();) {
    size_t n = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i + n > 30) break;
    i += n;
    end = i;
  }
  return text.substr(0, end);
}

void ReadFavouriteColours(FavouriteMarks& marks, const std::string& colourFile, const std::string& fallbackFile) {
  const char* kBox = kFavouriteBoxSection;
  const char* kText = kFavouriteTextSection;
  const std::string& file = ProfileText(kBox, "0", "", colourFile).empty() ? fallbackFile : colourFile;
  for (int digit = 0; digit <= 9; ++digit) {
    const std::string key = std::to_string(digit);
    FavouriteMark& mark = marks[static_cast<size_t>(digit)];
    mark.boxColour = ParseColour(ProfileText(kBox, key, "N", file), kFavouriteBoxColour);
    mark.textColour = ParseColour(ProfileText(kText, key, "N", file), kFavouriteTextColour);
  }
}

std::vector<ProfileEntry> FavouriteColourEntries(const FavouriteMarks& marks) {
  std::vector<ProfileEntry> entries;
  for (const char* section : {kFavouriteBoxSection, kFavouriteTextSection})
    for (int digit = 0; digit <= 9; ++digit) {
      const FavouriteMark& mark = marks[static_cast<size_t>(digit)];
      const bool box = section == kFavouriteBoxSection;
      entries.push_back({section, std::to_string(digit), FormatColour(box ? mark.boxColour : mark.textColour)});
    }
  return entries;
}

std::string FavouriteFallbackFile(const std::string& base) { return base + "\\resource\\favorite.ini"; }

namespace {
struct FavouriteColourStore {
  bool read = false;
  FavouriteMarks marks;
};
FavouriteColourStore& ColourStore() {
  static FavouriteColourStore store;
  return store;
}
}  // namespace

const FavouriteMarks& CurrentFavouriteColours(const std::string& colourFile, const std::string& fallbackFile) {
  FavouriteColourStore& store = ColourStore();
  if (!store.read) {
    store.read = true;
    ReadFavouriteColours(store.marks, colourFile, fallbackFile);
  }
  return store.marks;
}

void ReplaceFavouriteColours(const FavouriteMarks& marks) {
  FavouriteColourStore& store = ColourStore();
  store.read = true;
  for (size_t d = 0; d < marks.size(); ++d) {
    store.marks[d].boxColour = marks[d].boxColour;
    store.marks[d].textColour = marks[d].textColour;
  }
}

std::vector<BoxPlace> LayoutFavouriteBoxes(const std::vector<int>& widths, int right, int available, int hovered) {
  std::vector<int> w = widths;
  auto total = [&] {
    int sum = 0;
    for (int v : w) sum += v;
    return sum;
  };
  if (total() > available)
    for (size_t i = 0; i < w.size(); ++i)
      if (static_cast<int>(i) != hovered && w[i] > 7) w[i] = 12;
  if (total() > available && !w.empty()) {
    int share = std::max(available, 0) / static_cast<int>(w.size());
    for (int& v : w) v = share;
  }
  std::vector<BoxPlace> places(w.size());
  int x = right;
  for (size_t i = w.size(); i-- > 0;) {
    x -= w[i];
    places[i] = {x, w[i]};
  }
  return places;
}

int PaneRatingAtPoint(int left, int x) {
  if (x < left || x >= left + 5 * 16) return 0;
  return ((x - left) / 16 + 1) * 10;
}

}  // namespace vel
