#pragma once
// What the information pane's links do and where they are: the searches its
// values run, the cleaned title, the creator entries, the memo statements and
// a hit map filled while drawing and asked by the mouse.
#include <string>
#include <vector>

namespace vel {

// A search the pane asks the item list to run.
struct InfoSearch {
  std::string text;
  int target = 0;
  int subMode = 0;
  bool orOnly = false;
};

InfoSearch MakerSearch(const std::string& maker);          // target 3, equals
InfoSearch DeveloperSearch(const std::string& developer);  // target 10, equals
// The cleaned title's words with OR in the fuzzy target; a title that cleans
// to nothing ("1942") searches the title itself.
InfoSearch TitleSearch(const std::string& title);
InfoSearch CreatorSearch(const std::string& entry);  // target 6, without the leading role
// A category of list_view equal to the name, as an SQL search; `column` is
// machine_name, media_name, genre_name or adultex_name.
InfoSearch CategorySearch(const std::string& column, const std::string& name);
InfoSearch FavouriteSearch(char digit);

// "_", "-", "～", "－", "/", "／", "!", "！", "Ⅰ".."Ⅹ", "０".."９" and "0".."9"
// become spaces; runs of spaces one, the ends trimmed.
std::string CleanTitleForSearch(const std::string& title);

// The creators text (at most 4096 bytes, cut on a character) as entries:
// leading and trailing ";" trimmed, one entry per ";", empty ones dropped.
std::vector<std::string> CreatorEntries(const std::string& creators);
// An entry without its leading bracketed role ("[作曲]山田" gives "山田").
std::string CreatorName(const std::string& entry);

// The memo statements, every value quoted.
std::string MemoStatement(const std::string& key);
// The memos of every item with the same machine, genre and title, in key
// order, NULL values taken as "".
std::string ConcatMemoStatement(const std::string& machine, const std::string& genre, const std::string& title);
inline constexpr const char* kConcatMemoJoint = "-@<br>@-";
// The combined memo as shown: each joint becomes "\n---\n".
std::string ShownConcatMemo(const std::string& memo);

// ---- Hit map.
enum class InfoLinkKind {
  kNone, kTab, kMaker, kDeveloper, kTitle, kCreator, kMoreCreators, kCategory,
  kStars, kFavourite, kRelatedFiles, kWebSearch, kSnapshot,
};

struct PaneRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct InfoLink {
  InfoLinkKind kind = InfoLinkKind::kNone;
  PaneRect area;
  int index = 0;       // tab, creator entry, favourite digit, snapshot slot; the stars' left edge
  std::string hover;   // the tooltip text
  InfoSearch search;   // for the links that search
};

// The links of the last drawing, in drawing order; the last one containing
// the point wins (later elements are drawn over earlier ones).
class InfoHitMap {
 public:
  void Clear() { links_.clear(); }
  void Add(InfoLink link) { links_.push_back(std::move(link)); }
  // Null when the point is over no link.
  const InfoLink* At(int x, int y) const;
  const std::vector<InfoLink>& Links() const { return links_; }

 private:
  std::vector<InfoLink> links_;
};

}  // namespace vel
