#include "search/query_history.h"

#include <sqlite3.h>

#include "db/library_connection.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "search/search_items.h"

namespace vel {
namespace {

std::string TrimStatement(std::string text) {
  while (!text.empty() && (text.back() == ';' || text.back() == ' ' || text.back() == '\n' ||
                           text.back() == '\r' || text.back() == '\t'))
    text.pop_back();
  size_t first = text.find_first_not_of(" \r\n\t");
  return first == std::string::npos ? "" : text.substr(first);
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// Runs a text between "BEGIN;" and "COMMIT;", rolling back on failure.
std::optional<std::string> InTransaction(LibraryConnection& db, const std::string& sql) {
  if (auto error = db.Query("BEGIN; " + sql + " COMMIT;")) {
    db.Query("ROLLBACK;");
    return error;
  }
  return std::nullopt;
}

}  // namespace

std::string FirstStatement(const std::string& sql) {
  // A ';' inside a quote or comment does not end the statement; no CP932
  // trail byte is a ';' or a quote, so the text can be scanned by byte.
  for (size_t at = sql.find(';'); at != std::string::npos; at = sql.find(';', at + 1)) {
    std::string head = sql.substr(0, at + 1);
    if (sqlite3_complete(head.c_str())) return head;
  }
  return sql;
}

int CurrentHistoryId(LibraryConnection& historyDb) {
  if (historyDb.Query("SELECT MAX(id) FROM tmp_hist_table WHERE current=1;") || historyDb.RowCount() < 1)
    return 0;
  return historyDb.CellInt(1, 0);
}

HistoryRecord SaveHistQuery(LibraryConnection& historyDb, int target, const std::string& subject) {
  LibraryConnection& db = historyDb;
  if (db.Query("SELECT sql FROM sqlite_master WHERE type='view' AND name='list_view';") || db.RowCount() < 1)
    return HistoryRecord::NoView;
  std::string statement = db.Cell(1, 0);
  // Only the program's own two-pass view reads the stock; a user's statement
  // that reads the table is kept as it is.
  if (TrimStatement(statement) == kTwoPassViewStatement) {
    if (db.Query(std::string("SELECT file_name FROM rnd_stock_table WHERE file_name LIKE '") + kTwoPassMarker +
                 "%';") || db.RowCount() < 1)
      return HistoryRecord::NoView;
    statement = db.Cell(1, 0);
  }
  std::string text = subject;
  if (target == kTargetSql)
    for (size_t at; (at = text.find(kTwoPassMarker)) != std::string::npos;)
      text.erase(at, std::string(kTwoPassMarker).size());

  const int current = CurrentHistoryId(db);
  if (!db.Query("SELECT query FROM tmp_hist_table WHERE id=" + std::to_string(current) + ";") &&
      db.RowCount() > 0 && db.Cell(1, 0) == statement)
    return HistoryRecord::Repeated;
  const std::string sql = "DELETE FROM tmp_hist_table WHERE id > " + std::to_string(current) +
                          "; UPDATE tmp_hist_table SET current=0 WHERE (current<0 OR current>0);"
                          " INSERT INTO tmp_hist_table(srch_locate,sbject,query,current) VALUES( " +
                          std::to_string(target) + ", '" + Quote(text) + "', '" + Quote(statement) + "', 1 );";
  if (auto error = InTransaction(db, sql)) {
    ReportSqlError("saveHistQuery", Jp("履歴保存エラー"), *error, sql);
    return HistoryRecord::Failed;
  }
  return HistoryRecord::Recorded;
}

std::optional<HistoryEntry> HistoryNeighbour(LibraryConnection& historyDb, int direction) {
  int current = CurrentHistoryId(historyDb);
  if (current == 0) current = 1;
  const bool back = direction == -1;
  std::string sql = "SELECT id,sbject,query,srch_locate FROM tmp_hist_table WHERE id" +
                    std::string(back ? "<" : ">") + std::to_string(current) + " ORDER BY id" +
                    (back ? " DESC" : "") + " LIMIT 1;";
  if (historyDb.Query(sql) || historyDb.RowCount() < 1) return std::nullopt;
  HistoryEntry entry;
  entry.id = historyDb.CellInt(1, 0);
  entry.subject = historyDb.Cell(1, 1);
  entry.query = historyDb.Cell(1, 2);
  entry.target = historyDb.CellInt(1, 3);
  return entry;
}

std::optional<std::string> ReplayHistoryView(LibraryConnection& searchDb, const std::string& query) {
  DropListView(searchDb);
  if (StartsWith(query, kTwoPassMarker)) {
    std::string statement = FirstStatement(query.substr(std::string(kTwoPassMarker).size()));
    return InTransaction(searchDb, RandomStockStatements(statement) + " " + kTwoPassViewStatement + ";");
  }
  std::string statement = FirstStatement(query);
  if (!StartsWith(TrimStatement(statement), "CREATE VIEW list_view"))
    return std::string("not a list_view statement");
  return searchDb.Query(statement);
}

std::optional<std::string> MarkHistoryCurrent(LibraryConnection& historyDb, int id) {
  return InTransaction(historyDb, "UPDATE tmp_hist_table SET current=0 WHERE (current<0 OR current>0) AND id<>" +
                                      std::to_string(id) + "; UPDATE tmp_hist_table SET current=1 WHERE id=" +
                                      std::to_string(id) + ";");
}

HistoryStep StepHistory(LibraryConnection& historyDb, LibraryConnection& searchDb, int direction) {
  HistoryStep step;
  std::optional<HistoryEntry> entry = HistoryNeighbour(historyDb, direction);
  if (!entry) return step;
  step.entry = *entry;
  step.status = HistoryStep::ReplayFailed;
  if (auto error = ReplayHistoryView(searchDb, entry->query)) {
    ReportSqlError("loadHistQuery", Jp("ビュー作成できませんでした。"), *error, entry->query);
    return step;
  }
  if (auto error = MarkHistoryCurrent(historyDb, entry->id)) {
    ReportSqlError("loadHistQuery", Jp("履歴保存エラー"), *error, "UPDATE tmp_hist_table");
    return step;
  }
  step.status = HistoryStep::Moved;
  return step;
}

HistoryButtons ReadHistoryButtons(LibraryConnection& historyDb) {
  HistoryButtons buttons;
  int current = CurrentHistoryId(historyDb);
  if (current == 0) return buttons;  // nothing shown from the history: nothing to step to
  const std::string id = std::to_string(current);
  if (!historyDb.Query("SELECT EXISTS(SELECT 1 FROM tmp_hist_table WHERE id<" + id +
                       "), EXISTS(SELECT 1 FROM tmp_hist_table WHERE id>" + id + ");") &&
      historyDb.RowCount() > 0) {
    buttons.back = historyDb.CellInt(1, 0) > 0;
    buttons.forward = historyDb.CellInt(1, 1) > 0;
  }
  return buttons;
}

}  // namespace vel
