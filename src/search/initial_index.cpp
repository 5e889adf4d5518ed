#include "search/initial_index.h"

#include <cstdlib>

#include "db/library_connection.h"

namespace vel {
namespace {

// How the leading part of a column is taken.
struct KeyRule {
  int start;   // first character, 1-based
  int length;  // characters
  bool bootCount;
  bool skipZero;  // '0' means no value
};

KeyRule RuleFor(int column) {
  switch (column) {
    case kSortSaleYear: return {1, 4, false, true};
    case kSortBootCount: return {2, 5, true, false};
    case kSortLastBoot: return {1, 7, false, false};
    case kSortPlayTime: return {1, 4, false, false};
    case kSortMachineGenre: return {1, 47, false, false};
    default: return {1, 1, false, false};
  }
}

int DirectionOf(const SortState& sort) { return sort.dir[sort.keys[0]]; }

bool Descending(const SortState& sort) {
  int column = sort.keys[0];
  return column == kSortMachineGenre ? (sort.dir[column] & 1) : sort.dir[column] == 1;
}

// Characters start+1 .. start+length of UTF-8 text, as SQL substr() takes them.
std::string_view Utf8Substr(std::string_view text, int start, int length) {
  size_t at = 0;
  auto step = [&](size_t i) {
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
    return i;
  };
  for (int n = 1; n < start && at < text.size(); ++n) at = step(at);
  size_t end = at;
  for (int n = 0; n < length && end < text.size(); ++n) end = step(end);
  return text.substr(at, end - at);
}

// boot_count+1000000 as SQLite writes it: an integer stays an integer.
std::string BootCountPlusMillion(std::string_view value) {
  std::string text(value);
  char* end = nullptr;
  long long whole = std::strtoll(text.c_str(), &end, 10);
  if (end != text.c_str() && *end == '\0') return std::to_string(whole + 1000000);
  double number = std::strtod(text.c_str(), nullptr);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", number + 1000000.0);
  std::string printed = buffer;
  if (printed.find_first_of(".e") == std::string::npos) printed += ".0";
  return printed;
}

}  // namespace

bool InitialIndexCurrent(const InitialIndex& index, const SortState& sort, bool yomiSort, unsigned listLoad) {
  return index.built && index.column == sort.keys[0] && index.direction == DirectionOf(sort) &&
         index.yomiSort == yomiSort && index.listLoad == listLoad;
}

std::string InitialIndexStatement(const SortState& sort) {
  int column = sort.keys[0];
  std::string d = PrimaryColumnName(sort);
  KeyRule rule = RuleFor(column);
  std::string part =
      rule.bootCount ? "substr(" + d + "+1000000,2,5)||'0'"
                     : "substr(" + d + "," + std::to_string(rule.start) + "," +
                           std::to_string(rule.length) + ")";
  std::string condition = d + "!=''";
  if (rule.skipZero) condition += " AND " + d + "!='0'";
  // The TEMP table outlives the statement on its connection: drop it first.
  return "DROP TABLE IF EXISTS temp.iidx_tmptable; CREATE TEMP TABLE iidx_tmptable AS "
         "SELECT DISTINCT " + part + " AS kidx FROM list_view WHERE " + condition +
         " ORDER BY " + d + (Descending(sort) ? " DESC" : "") +
         "; SELECT kidx FROM iidx_tmptable ORDER BY rowid;";
}

std::optional<std::string> BuildInitialIndex(LibraryConnection& db, const SortState& sort,
                                             bool yomiSort, unsigned listLoad, InitialIndex& index) {
  index = InitialIndex{};
  index.built = true;
  index.listLoad = listLoad;
  index.column = sort.keys[0];
  index.direction = DirectionOf(sort);
  index.yomiSort = yomiSort;
  if (auto error = db.Query(InitialIndexStatement(sort))) return error;
  index.keys.reserve(static_cast<size_t>(db.RowCount()));
  for (int r = 1; r <= db.RowCount(); ++r) {
    // DISTINCT over the part with ORDER BY on the whole value can repeat a part.
    if (!index.positionOfKey.emplace(std::string(db.CellUtf8(r, 0)), static_cast<int>(index.keys.size())).second)
      continue;
    index.keys.push_back(db.Cell(r, 0));
  }
  return std::nullopt;
}

std::string InitialKeyOf(const SortState& sort, std::string_view value) {
  KeyRule rule = RuleFor(sort.keys[0]);
  if (rule.bootCount)
    return std::string(Utf8Substr(BootCountPlusMillion(value), rule.start, rule.length)) + "0";
  return std::string(Utf8Substr(value, rule.start, rule.length));
}

int SeekInitial(const InitialIndex& index, const SortState& sort, const LibraryConnection& list,
                int selectedRow, bool forward) {
  if (index.keys.empty()) return 0;
  int position = ResultPositionOfColumn(PrimaryColumnName(sort));
  if (position < 0) return 0;
  auto keyIndex = [&](int row) {
    auto found = index.positionOfKey.find(InitialKeyOf(sort, list.CellUtf8(row, position)));
    return found == index.positionOfKey.end() ? -1 : found->second;
  };
  int rows = list.RowCount();
  int current = selectedRow >= 1 && selectedRow <= rows ? keyIndex(selectedRow) : -1;
  if (current < 0 && !forward) current = static_cast<int>(index.keys.size());
  // Forward: the nearest following key that has a row after the selection,
  // at its first such row. Backward: the nearest preceding key, at its first row.
  int bestKey = -1, bestRow = 0;
  for (int r = forward ? selectedRow + 1 : 1; r <= rows; ++r) {
    if (r < 1) continue;
    int k = keyIndex(r);
    if (k < 0) continue;
    bool better = forward ? (k > current && (bestKey < 0 || k < bestKey))
                          : (k < current && k > bestKey);
    if (better) {
      bestKey = k;
      bestRow = r;
    }
  }
  return bestRow;
}

}  // namespace vel
