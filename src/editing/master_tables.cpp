#include "editing/master_tables.h"

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

std::optional<std::string> LoadMasterNames(LibraryConnection& db, const std::string& stem,
                                           std::vector<std::string>& names) {
  names.clear();
  if (auto error = db.Query("SELECT " + stem + " FROM " + stem + "_info_table ORDER BY " + stem +
                            "_num;"))
    return error;
  for (int r = 1; r <= db.RowCount(); ++r) names.push_back(db.Cell(r, 0));
  return std::nullopt;
}

std::optional<RenumberFailure> RenumberMasterTable(LibraryConnection& db, const std::string& stem) {
  if (auto error = db.Query("SELECT " + stem + " FROM " + stem + "_info_table ORDER BY " + stem + ";"))
    return RenumberFailure{Jp("管理テーブルを参照できませんでした。（管理番号ソート）\n") + Utf8ToAnsi(*error),
                           stem};
  std::vector<std::string> names;
  for (int r = 1; r <= db.RowCount(); ++r) names.push_back(db.Cell(r, 0));
  auto updateFailed = [&](const std::string& error) {
    RenumberFailure failure{
        Jp("管理テーブルをアップデートできませんでした。（管理番号ソート）\n") + Utf8ToAnsi(error), stem};
    db.Query("ROLLBACK;");
    return failure;
  };
  if (auto error = db.Query("BEGIN;")) return updateFailed(*error);
  for (size_t i = 0; i < names.size(); ++i) {
    std::string sql = "UPDATE " + stem + "_info_table SET " + stem + "_num=" + std::to_string(i + 1) +
                      " WHERE " + stem + "='" + Quote(names[i]) + "';";
    if (auto error = db.Query(sql)) return updateFailed(*error);
  }
  if (auto error = db.Query("COMMIT;")) return updateFailed(*error);
  return std::nullopt;
}

}  // namespace vel
