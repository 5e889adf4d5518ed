#include "db/selection_batch.h"

#include "db/library_connection.h"
#include "db/prepared_statement.h"

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

namespace {

BatchFailure RollBack(LibraryConnection& db, std::string error, std::string sql) {
  BatchFailure failure{std::move(error), std::move(sql)};
  db.Query("ROLLBACK;");
  return failure;
}

}  // namespace

std::optional<BatchFailure> RunSelectionStatements(LibraryConnection& db,
                                                   const std::vector<std::string>& keys,
                                                   const KeyStatement& statementFor,
                                                   const BatchFinish& finish) {
  if (auto error = db.Query("BEGIN;")) return BatchFailure{*error, "BEGIN;"};
  for (const std::string& key : keys) {
    std::string sql = statementFor(key);
    if (auto error = db.Query(sql)) return RollBack(db, *error, sql);
  }
  if (finish) {
    if (auto error = finish(db)) return RollBack(db, *error, "");
  }
  if (auto error = db.Query("COMMIT;")) return RollBack(db, *error, "COMMIT;");
  return std::nullopt;
}

std::optional<BatchFailure> RunSelectionBatch(LibraryConnection& db,
                                              const std::vector<std::string>& keys,
                                              const std::string& sqlTemplate) {
  return RunSelectionStatements(db, keys,
                                [&](const std::string& key) { return BindPrimaryKey(sqlTemplate, key); });
}

std::optional<BatchFailure> RunKeyedStatement(LibraryConnection& db, const std::vector<std::string>& keys,
                                              const KeyedStatement& statement, const BatchFinish& finish) {
  if (auto error = db.Query("BEGIN;")) return BatchFailure{*error, "BEGIN;"};
  if (!keys.empty()) {
    PreparedStatement prepared;
    auto failed = [&](const std::string& key, std::string error) {
      prepared.Finalize();
      return RollBack(db, std::move(error), statement.statementFor(key));
    };
    if (auto error = prepared.Prepare(db, statement.sql)) return failed(keys.front(), *error);
    for (size_t i = 0; i < statement.values.size(); ++i)
      if (!prepared.BindText(static_cast<int>(i) + 2, statement.values[i]))
        return failed(keys.front(), "bind or column index out of range");
    for (const std::string& key : keys) {
      if (!prepared.BindText(1, key)) return failed(key, "bind or column index out of range");
      if (auto error = prepared.Run()) return failed(key, *error);
      prepared.Reset();
    }
  }
  if (finish) {
    if (auto error = finish(db)) return RollBack(db, *error, "");
  }
  if (auto error = db.Query("COMMIT;")) return RollBack(db, *error, "COMMIT;");
  return std::nullopt;
}

}  // namespace vel
