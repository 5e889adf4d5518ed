#include "search/sql_order.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

namespace vel {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// True when `text` starts with the word `word` (case-insensitive).
bool StartsWithWord(std::string_view text, std::string_view word) {
  if (word.empty() || text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (Lower(text[i]) != Lower(word[i])) return false;
  return text.size() == word.size() || !IsWordChar(text[word.size()]);
}

size_t FindLastNoCase(const std::string& text, std::string_view needle) {
  if (text.size() < needle.size()) return std::string::npos;
  for (size_t i = text.size() - needle.size() + 1; i-- > 0;) {
    size_t k = 0;
    while (k < needle.size() && Lower(text[i + k]) == Lower(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

void SkipBlanks(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
}

// True when what follows a term's column name says DESC ("+0" forms and a
// COLLATE clause before it allowed).
bool Descending(std::string_view rest) {
  while (!rest.empty() && (rest.front() == '+' || rest.front() == '0' || rest.front() == ' '))
    rest.remove_prefix(1);
  if (StartsWithWord(rest, "COLLATE")) {
    rest.remove_prefix(7);
    SkipBlanks(rest);
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'' || rest.front() == '[' || rest.front() == '`')) {
      char close = rest.front() == '[' ? ']' : rest.front();
      size_t end = rest.find(close, 1);
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    } else {
      while (!rest.empty() && IsWordChar(rest.front())) rest.remove_prefix(1);
    }
    SkipBlanks(rest);
  }
  return StartsWithWord(rest, "DESC");
}

// The plain name of a sort column ("" for the machine/genre pair).
std::string PlainName(int column) {
  if (column == kSortMachineGenre) return "";
  SortState state = DefaultSortState();
  state.keys[0] = column;
  return PrimaryColumnName(state);
}

}  // namespace

SqlOrderMapping MapSqlOrderBy(const std::string& viewSql, SortState& state) {
  SqlOrderMapping result;
  size_t at = FindLastNoCase(viewSql, "ORDER BY ");
  if (at == std::string::npos) return result;
  result.hasOrderBy = true;

  // ", " and " ," become ","; the terms are the pieces between commas.
  std::string list = viewSql.substr(at + 9);
  for (size_t p; (p = list.find(", ")) != std::string::npos;) list.erase(p + 1, 1);
  for (size_t p; (p = list.find(" ,")) != std::string::npos;) list.erase(p, 1);
  std::vector<std::string_view> terms;
  for (std::string_view rest = list;;) {
    size_t comma = rest.find(',');
    std::string_view term = rest.substr(0, comma);
    while (!term.empty() && term.front() == ' ') term.remove_prefix(1);
    terms.push_back(term);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }

  std::vector<int> keys;
  SortState found;
  auto used = [&](int column) { return std::find(keys.begin(), keys.end(), column) != keys.end(); };
  for (size_t t = 0; t < terms.size(); ++t) {
    std::string_view term = terms[t];
    bool machineFirst = StartsWithWord(term, "machine_name");
    if (machineFirst || StartsWithWord(term, "genre_name")) {
      if (!used(kSortMachineGenre)) {
        bool desc = Descending(term.substr(machineFirst ? 12 : 10));
        found.dir[kSortMachineGenre] = (machineFirst ? 0 : 2) + (desc ? 1 : 0);
        keys.push_back(kSortMachineGenre);
      }
      // The other name of the pair, right after, belongs to the same key.
      if (t + 1 < terms.size() && StartsWithWord(terms[t + 1], machineFirst ? "genre_name" : "machine_name"))
        ++t;
      continue;
    }
    int column = -1;
    std::string name;
    for (int c = 0; c < kSortColumnCount && column < 0; ++c) {
      name = PlainName(c);
      if (StartsWithWord(term, name)) column = c;
    }
    if (column < 0) break;
    if (used(column)) continue;
    found.dir[column] = Descending(term.substr(name.size())) ? 1 : 0;
    keys.push_back(column);
  }
  if (keys.empty()) return result;

  for (int c = 0; c < kSortColumnCount; ++c)
    if (!used(c)) keys.push_back(c);
  std::copy(keys.begin(), keys.end(), found.keys.begin());
  state = found;
  result.mapped = true;
  return result;
}

}  // namespace vel
