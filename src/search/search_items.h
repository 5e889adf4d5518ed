#pragma once
// The search: turns a search text and target into the view list_view over
// all_item_view, loads the list from it and reports the count and the time.
#include <functional>
#include <string>

#include "search/item_list_query.h"

namespace vel {

class LibraryConnection;
class MigemoSource;

// Search targets (the search window's combo box, by index).
enum SearchTarget : int {
  kTargetFuzzy = 0,
  kTargetFilePath = 1,
  kTargetTitle = 2,
  kTargetMaker = 3,
  kTargetGenre = 4,
  kTargetVersion = 5,
  kTargetCreator = 6,
  kTargetMemo = 7,
  kTargetSaleYear = 8,
  kTargetSql = 9,
  kTargetMakerOfItem = 10,  // the information pane's maker; the same as kTargetMaker
};

// Match sub-modes.
inline constexpr int kMatchContains = 0;
inline constexpr int kMatchEquals = 1;
inline constexpr int kMatchWords = 2;  // fuzzy target only: every word, AND first, then OR

using TextFilter = std::function<std::string(const std::string&)>;

// What a search needs from the program. Only `db` is required.
struct SearchEnvironment {
  LibraryConnection* db = nullptr;  // the main connection: its grid becomes the list
  int regexEngine = 0;              // kRegexNone / kRegexOperator / kRegexFunction
  MigemoSource* migemo = nullptr;   // null when migemo.dll is not loaded
  bool migemoSearchOn = true;       // Migemo/SearchOn
  int migemoClassLimit = 0;         // Migemo/SearchClassLimit
  TextFilter smartTitle;            // the smart-title form of a text; unset = none
  TextFilter narrowText;            // full-width to half-width (release dates); unset = as is
  // Loads list_view into db's grid with the sort operation's arguments
  // (a column 0..18 or kSortReset / kSortKeepKeys / kSortSqlOrder, and how)
  // and returns its row count, or -1 when the load failed (and was reported).
  // Unset: LoadSearchResult.
  std::function<int(int column, int how)> loadList;
  // Records an executed search in the history (called after a successful load).
  std::function<void(int target, const std::string& text)> saveHistory;
  // Shows the loaded list (its row count) and its group list, or an empty
  // list without groups when the load failed (rows -1). The search's time
  // includes it: it is what the user waits for.
  std::function<void(int rows)> showList;
  // Asked now and then while the search's statements run; true stops the
  // search, which then leaves the list, the view and the order as they were.
  // Unset: a search cannot be stopped.
  std::function<bool()> stopRequested;
};

struct SearchOutcome {
  int result = 0;          // 1 rows, 0 no rows or an empty text, -1 nothing built (or a failure)
  bool stopped = false;    // stopped on request: the previous list is current again
  int rows = 0;            // rows of the loaded list (0 when nothing was loaded)
  long long elapsedMs = 0;
  std::string countText;   // status-bar part 1: " 検索件数: n 件" (CP932; "" for an empty text)
  std::string timeText;    // status-bar part 3: "検索時間:s.hh秒" (CP932; "" for an empty text)
};

// Builds list_view for the text and loads the list. Failed statements are
// reported through the SQL error report; a failure leaves an empty list. A
// search stopped on request puts the previous view, order and list back.
SearchOutcome SearchItems(SearchEnvironment& env, ListQueryState& state, const std::string& text,
                          int target, int subMode, bool orOnly);

// "<expr> LIKE '%text%'": the text quoted, and its LIKE wildcards and the
// escape character taken literally, so that exactly the rows holding the
// text match.
std::string LikeContains(const std::string& expression, const std::string& text);
// "<expr> LIKE 'text%'", taken literally in the same way.
std::string LikePrefix(const std::string& expression, const std::string& text);

// A random SQL search is made in two passes: its choice is stored in
// rnd_stock_table with a marker row holding the statement, and the view reads
// the stock. These are the marker and the view's statement (as stored); the
// marker inside the view tells it from a user's own statement over the stock.
inline constexpr const char* kTwoPassMarker = "/*2passCreate*/";
inline constexpr const char* kTwoPassViewStatement =
    "CREATE VIEW list_view AS /*2passCreate*/SELECT * FROM all_item_view WHERE file_name IN "
    "(SELECT file_name FROM rnd_stock_table)";
// The first pass for a statement over all_item_view: the stock made anew
// and marked (run inside a transaction).
std::string RandomStockStatements(const std::string& statement);

// Drops list_view (failure ignored: there may be none).
void DropListView(LibraryConnection& db);

// The list load used when the environment has none: applies the sort request,
// reads the list and reports a failure. Returns the row count or -1.
int LoadSearchResult(LibraryConnection& db, ListQueryState& state, int column, int how);

// " 検索件数: n 件" and "検索時間:1.04秒" (CP932).
std::string SearchCountText(int rows);
std::string SearchTimeText(long long elapsedMs);

}  // namespace vel
