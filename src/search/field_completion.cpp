#include "search/field_completion.h"

#include "platform/codepage.h"

#include "db/library_connection.h"
#include "search/migemo.h"
#include "search/search_items.h"

namespace vel {

CompletionStep NextCompletionStep(size_t previousLength, const std::string& text) {
  if (text.empty() || text.size() < previousLength) return CompletionStep::Close;
  if (text.size() > kCompletionMaxBytes) return CompletionStep::Keep;
  return CompletionStep::LookUp;
}

std::string CompletionStatement(const CompletionRequest& request) {
  const std::string& column = request.column;
  const std::string condition = request.migemoPattern.empty()
                                    ? LikePrefix(column, request.text) + " "
                                    : RegexCondition(request.regexEngine, column, request.migemoPattern);
  return "SELECT DISTINCT " + column + " FROM main_table WHERE " + condition + "AND ply <= 1 ORDER BY " + column +
         " LIMIT " + std::to_string(kCompletionRows) + ";";
}

std::optional<std::string> LookUpCompletions(LibraryConnection& db, const CompletionRequest& request,
                                             std::vector<std::string>& values) {
  values.clear();
  if (auto error = db.Query(CompletionStatement(request))) return error;
  for (int r = 1; r <= db.RowCount(); ++r) values.push_back(db.Cell(r, 0));
  return std::nullopt;
}

std::optional<std::string> CompletionValues::Load(LibraryConnection& db, const std::string& column) {
  loaded_ = false;
  values_.clear();
  if (auto error = db.Query("SELECT DISTINCT " + column + " FROM main_table WHERE " + column +
                            " IS NOT NULL AND ply <= 1 ORDER BY " + column + ";"))
    return error;
  values_.reserve(static_cast<size_t>(db.RowCount()));
  for (int r = 1; r <= db.RowCount(); ++r) values_.emplace_back(db.CellUtf8(r, 0));
  db.Query("SELECT 1 WHERE 0;");  // the connection's result is not kept twice
  loaded_ = true;
  return std::nullopt;
}

std::vector<std::string> CompletionValues::Matching(const std::string& text) const {
  // The text as the statement's literal reaches the database. In UTF-8 a
  // byte below 0x80 is always a character of its own, so folding those
  // bytes folds exactly the ASCII letters, as LIKE does.
  const std::string prefix = AnsiToUtf8(WithWholeCharacters(text));
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; };
  std::vector<std::string> found;
  for (const std::string& value : values_) {
    if (value.size() < prefix.size()) continue;
    bool same = true;
    for (size_t i = 0; i < prefix.size() && same; ++i)
      same = fold(static_cast<unsigned char>(value[i])) == fold(static_cast<unsigned char>(prefix[i]));
    if (!same) continue;
    found.push_back(Utf8ToAnsi(value));
    if (static_cast<int>(found.size()) == kCompletionRows) break;
  }
  return found;
}

}  // namespace vel
