#include "search/candidates.h"

#include <string_view>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "search/migemo.h"
#include "search/search_items.h"

namespace vel {
namespace {

// A title cut before its first "_", "(", "[" or space (a mark in the first
// place does not cut), the shortest of the four.
constexpr const char* kTitleStem =
    "MIN("
    "CASE WHEN INSTR(title,'_')<2 THEN title ELSE SUBSTR(title,0,INSTR(title,'_')) END,"
    "CASE WHEN INSTR(title,'(')<2 THEN title ELSE SUBSTR(title,0,INSTR(title,'(')) END,"
    "CASE WHEN INSTR(title,'[')<2 THEN title ELSE SUBSTR(title,0,INSTR(title,'[')) END,"
    "CASE WHEN INSTR(title,' ')<2 THEN title ELSE SUBSTR(title,0,INSTR(title,' ')) END"
    ") AS title";

}  // namespace

bool CandidateTextWanted(const std::string& text) { return text.size() >= 2 && text.size() <= 99; }

std::string EscapeRegexText(const std::string& text) {
  constexpr std::string_view kMeta = "\\$*.^+?()[]{}|";
  std::string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(c) && i + 1 < text.size()) {
      out.append(text, i, 2);
      i += 2;
      continue;
    }
    char ch = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
    if (kMeta.find(ch) != std::string_view::npos) out += '\\';
    out += ch;
    ++i;
  }
  return out;
}

std::string CandidateStatement(const CandidateRequest& request) {
  const std::string column = request.titleStems ? kTitleStem : "title";
  std::string sql = "SELECT DISTINCT " + column + " FROM main_table WHERE ";
  if (request.migemoPattern.empty()) {
    sql += "(" + LikeContains("title", request.text) + ")";
  } else {
    sql += "(" + RegexCondition(request.regexEngine, "kana", Quote(EscapeRegexText(request.text))) + "OR " +
           RegexCondition(request.regexEngine, "title", request.migemoPattern) + ")";
  }
  sql += " AND ply<=1";
  if (request.lastLimit > 0) sql += " LIMIT " + std::to_string(request.lastLimit);
  return sql + ";";
}

}  // namespace vel
