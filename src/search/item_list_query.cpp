#include "search/item_list_query.h"

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

bool IsFurtherDisk(const std::string& ply) {
  // The column is numeric: its leading digits count, after blanks and a plus sign.
  size_t i = ply.find_first_not_of(" \t");
  if (i == std::string::npos) return false;
  if (ply[i] == '+') ++i;
  int value = 0;
  for (; i < ply.size() && ply[i] >= '0' && ply[i] <= '9'; ++i) {
    value = value * 10 + (ply[i] - '0');
    if (value >= 2) return true;
  }
  return false;
}

std::string ListStatement(const ListQueryState& state, bool withOrder) {
  std::string sql = "SELECT * FROM list_view";
  if (!state.groupCondition.empty()) sql += " WHERE " + state.groupCondition;
  if (withOrder && !state.sqlOrderInForce) sql += " ORDER BY " + OrderByList(state.sort);
  return sql + " ;";
}

std::string ExecutedQueryText(const std::string& viewStatement, const ListQueryState& state) {
  const std::string groupFilter =
      state.groupCondition.empty() ? "" : "SELECT * FROM list_view WHERE " + state.groupCondition + " ;";
  return "---list_view:\n" + viewStatement + "\n---sql_GrpSearch:\n" + groupFilter + "\n--end--";
}

std::optional<std::string> LoadItemList(LibraryConnection& db, ListQueryState& state, bool withOrder) {
  const bool ordered = withOrder && !state.sqlOrderInForce;
  const std::string rows = ListStatement(state, false);
  if (ordered && SortLoadedList(db, state.loaded, rows, state.sort)) return std::nullopt;
  // Read before the statement: a write between the two only costs a reading next time.
  std::string versions = ordered ? LibraryVersions(db) : std::string();
  const std::string statement = ListStatement(state, withOrder);
  auto error = db.Query(statement);
  state.loaded = {};
  if (!error && ordered) {
    state.loaded.result = db.ResultSerial();
    state.loaded.rows = rows;
    state.loaded.versions = std::move(versions);
    NoteListScan(db, statement, state.sort, state.loaded);
  }
  return error;
}

int FindRowByKey(const LibraryConnection& db, const std::string& key) {
  if (db.RowCount() == 0) return 0;
  if (key.empty()) return 1;
  std::string utf8 = AnsiToUtf8(key);
  for (int r = 1; r <= db.RowCount(); ++r)
    if (db.CellUtf8(r, kPosFileName) == utf8) return r;
  return 0;
}

}  // namespace vel
