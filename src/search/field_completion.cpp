#include "search/field_completion.h"

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

}  // namespace vel
