#pragma once
// The statement the item list is read with (list_view, narrowed by the chosen
// group, in the sort order) and finding an item of the loaded list by its key.
#include <optional>
#include <string>

#include "search/list_sort.h"
#include "search/sort_model.h"

namespace vel {

class LibraryConnection;

// Positions of the list result (columns of all_item_view) the program reads.
enum ListPosition : int {
  kPosFileName = 0, kPosMachine = 1, kPosTitle = 2, kPosVersion = 3, kPosMaker = 4, kPosDeveloper = 5,
  kPosGenre = 6, kPosAdult = 7, kPosMedia = 8, kPosCountry = 9, kPosSaleYear = 10,
  kPosRating = 11, kPosBootCount = 12, kPosLastBoot = 13, kPosMachineIcon = 14,
  kPosMediaIcon = 15, kPosGenreIcon = 16, kPosMultiDisk = 17, kPosSnapPath = 18, kPosFileTitle = 19,
  kPosFileArcTitle = 21, kPosCreator = 23, kPosMemo = 24, kPosAssociate = 25, kPosCrc16 = 26, kPosCrc32 = 27, kPosRomNum = 28,
  kPosSnap1 = 29,  // snap2 and snap3 follow
  kPosSnapDtt = 32, kPosSnapPath2 = 33, kPosSnapPath3 = 34, kPosSnapDtm = 35,
  kPosBreed = 36, kPosPrice = 37, kPosMediaDetail = 38, kPosDevice = 39,
  kPosPlayers = 40, kPosAdultex = 41, kPosAdultexIcon = 42, kPosSavedat = 43, kPosSound = 44,
  kPosAlterEgo = 45, kPosPlayTime = 46, kPosKana = 47, kPosFave = 48, kPosImages = 49,
  kPosEmuset = 50, kPosSmartTitle = 51, kPosTag = 52, kPosPly = 53,
};

// A row of the second or a later disk of a set (`ply` 2 and up), which the
// list draws in its own text colour.
bool IsFurtherDisk(const std::string& ply);

// What the list is read with; shared by the search and the item list.
struct ListQueryState {
  SortState sort = DefaultSortState();
  std::string groupCondition;    // "" = the whole of list_view
  bool sqlOrderInForce = false;  // the SQL search's own order: no ORDER BY
  LoadedListStamp loaded;        // what the list in the main connection was read with
};

// "SELECT * FROM list_view[ WHERE cond][ ORDER BY list] ;"
std::string ListStatement(const ListQueryState& state, bool withOrder);

// The text of the "実行クエリの確認" box: the statement of list_view as the
// library holds it, and the group filter in force ("" when none).
std::string ExecutedQueryText(const std::string& viewStatement, const ListQueryState& state);

// Reads the list into `db`'s result. The error text on failure (the result is
// then empty). When the result holds the rows of the same statement, read
// since the library last changed, and only the order differs, the rows are
// put in the new order in memory (the same order the statement gives).
std::optional<std::string> LoadItemList(LibraryConnection& db, ListQueryState& state, bool withOrder);

// The 1-based row whose key (column 0) is `key` (CP932); "" gives the first
// row. 0 when no row has it.
int FindRowByKey(const LibraryConnection& db, const std::string& key);

}  // namespace vel
