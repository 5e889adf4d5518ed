#include "search/field_completion.h"

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

}  // namespace vel
