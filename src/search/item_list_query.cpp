#include "search/item_list_query.h"

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

std::string ListStatement(const ListQueryState& state, bool withOrder) {
  std::string sql = "SELECT * FROM list_view";
  if (!state.groupCondition.empty()) sql += " WHERE " + state.groupCondition;
  if (withOrder && !state.sqlOrderInForce) sql += " ORDER BY " + OrderByList(state.sort);
  return sql + " ;";
}

std::optional<std::string> LoadItemList(LibraryConnection& db, const ListQueryState& state,
                                        bool withOrder) {
  return db.Query(ListStatement(state, withOrder));
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
