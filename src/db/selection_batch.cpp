#include "db/selection_batch.h"

#include "db/library_connection.h"

namespace vel {

std::string BindPrimaryKey(const std::string& sqlTemplate, const std::string& key) {
  const std::string marker = kPrimaryKeyMarker;
  const std::string quoted = Quote(key);
  std::string sql;
  size_t from = 0;
  for (size_t at; (at = sqlTemplate.find(marker, from)) != std::string::npos; from = at + marker.size())
    sql += sqlTemplate.substr(from, at - from) + quoted;
  return sql + sqlTemplate.substr(from);
}

std::optional<BatchFailure> RunSelectionBatch(LibraryConnection& db,
                                              const std::vector<std::string>& keys,
                                              const std::string& sqlTemplate) {
  if (auto error = db.Query("BEGIN;")) return BatchFailure{*error, "BEGIN;"};
  for (const std::string& key : keys) {
    std::string sql = BindPrimaryKey(sqlTemplate, key);
    if (auto error = db.Query(sql)) {
      BatchFailure failure{*error, sql};
      db.Query("ROLLBACK;");
      return failure;
    }
  }
  if (auto error = db.Query("COMMIT;")) {
    BatchFailure failure{*error, "COMMIT;"};
    db.Query("ROLLBACK;");
    return failure;
  }
  return std::nullopt;
}

}  // namespace vel
