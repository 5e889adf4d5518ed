#include "search/sort_model.h"

#include <algorithm>

#include "platform/codepage.h"

namespace vel {
namespace {

struct SortColumnDef {
  const char* name;   // plain name ("" for machine/genre)
  bool numeric;       // sorted as name+0, a number
  const char* label;  // UTF-8
};

const SortColumnDef kColumns[kSortColumnCount] = {
    {"title", false, "タイトル"},
    {"maker", false, "メーカー"},
    {"", false, "機種/ジャンル"},
    {"rating", false, "評価"},
    {"sale_year", false, "発売日"},
    {"boot_count", true, "起動回数"},
    {"last_boot", false, "最終起動日"},
    {"developer", false, "開発元"},
    {"breed", false, "型番"},
    {"price", true, "価格"},
    {"media_detail", false, "メディア情報"},
    {"device", false, "対応機器"},
    {"players", false, "プレイヤー数"},
    {"adultex_name", false, "拡張R指定"},
    {"savedat_detail", false, "セーブデータ情報"},
    {"sound_detail", false, "サウンド情報"},
    {"play_time", false, "プレイ時間"},
    {"kana", false, "読み仮名"},
    {"rom_num", true, "ROM番号"},
};

void MoveToFront(SortState& state, int column) {
  auto at = std::find(state.keys.begin(), state.keys.end(), column);
  std::rotate(state.keys.begin(), at, at + 1);
}

// Reading and title stay together, reading first: `moved` (one of the two)
// is taken out and put back next to the other.
void PairKanaWithTitle(SortState& state, int moved) {
  int anchor = moved == kSortKana ? kSortTitle : kSortKana;
  std::array<int, kSortColumnCount> keys{};
  size_t n = 0;
  for (int column : state.keys) {
    if (column == moved) continue;
    if (column == anchor && moved == kSortKana) keys[n++] = kSortKana;
    keys[n++] = column;
    if (column == anchor && moved == kSortTitle) keys[n++] = kSortTitle;
  }
  state.keys = keys;
}

bool Barred(const ColumnDisplay& display, int column) { return display[column] == -1; }

}  // namespace

SortState DefaultSortState() {
  SortState state;
  for (int c = 0; c < kSortColumnCount; ++c) state.keys[c] = c;
  return state;
}

int ApplySortRequest(SortState& state, int column, int how, bool yomiSort,
                     const ColumnDisplay& display) {
  if (column != kSortKeepKeys && column != kSortSqlOrder &&
      (column < 0 || column >= kSortColumnCount || Barred(display, column)))
    column = kSortReset;
  if (column == kSortKeepKeys && Barred(display, state.keys[0])) column = kSortReset;
  if (column == kSortSqlOrder) return column;
  if (column == kSortReset) state = DefaultSortState();
  if (column >= 0) {
    int primary = state.keys[0];
    int& d = state.dir[column];
    bool titleUnderKana = yomiSort && column == kSortTitle && primary == kSortKana;
    if (column != primary && !titleUnderKana) {
      d = how == kSortDescending ? 1 : 0;
    } else if (how == kSortAscending || how == kSortDescending) {
      d = how == kSortDescending ? 1 : 0;
    } else if (column == kSortMachineGenre) {
      d = (d + 1) % 4;
    } else {
      d = d == 0 ? 1 : 0;
    }
    MoveToFront(state, column);
    if (yomiSort && column == kSortTitle) state.dir[kSortKana] = d;
    if (yomiSort && column == kSortKana) state.dir[kSortTitle] = d;
  }
  // Titles are ordered by reading first; a reading sort keeps title right behind.
  if (yomiSort) PairKanaWithTitle(state, column == kSortKana ? kSortTitle : kSortKana);
  return column;
}

std::vector<OrderTerm> OrderTerms(const SortState& state) {
  std::vector<OrderTerm> terms;
  for (int column : state.keys) {
    if (column == kSortMachineGenre) {
      // Only the first name of the pair takes the direction.
      int pair = state.dir[column] & 3;
      bool genreFirst = pair >= 2;
      terms.push_back({genreFirst ? "genre_name" : "machine_name", false, (pair & 1) != 0});
      terms.push_back({genreFirst ? "machine_name" : "genre_name", false, false});
    } else {
      terms.push_back({kColumns[column].name, kColumns[column].numeric, state.dir[column] == 1});
    }
  }
  return terms;
}

std::string OrderByList(const SortState& state) {
  std::string list;
  for (const OrderTerm& term : OrderTerms(state)) {
    if (!list.empty()) list += ", ";
    list += term.column;
    if (term.numeric) list += "+0";
    if (term.descending) list += " DESC";
  }
  return list;
}

std::string SortHeaderLabel(int column, int machineGenreState) {
  if (column == kSortMachineGenre && machineGenreState >= 2) return Jp("ジャンル/機種");
  if (column < 0 || column >= kSortColumnCount) return {};
  return Jp(kColumns[column].label);
}

int SortArrowImage(const SortState& state, int column, bool yomiSort) {
  int primary = state.keys[0];
  bool isPrimary = column == primary ||
                   (yomiSort && (column == kSortTitle || column == kSortKana) &&
                    (primary == kSortTitle || primary == kSortKana));
  return (state.dir[column] & 1) + (isPrimary ? 0 : 2);
}

std::string PlainSortColumnName(int column) {
  if (column == kSortMachineGenre) return "machine_name";
  return column >= 0 && column < kSortColumnCount ? kColumns[column].name : "";
}

std::string PrimaryColumnName(const SortState& state) {
  int primary = state.keys[0];
  if (primary == kSortMachineGenre) return state.dir[primary] >= 2 ? "genre_name" : "machine_name";
  return kColumns[primary].name;
}

int ResultPositionOfColumn(const std::string& name) {
  static const struct {
    const char* name;
    int position;
  } positions[] = {
      {"file_name", 0},       {"machine_name", 1},  {"title", 2},          {"maker", 4},
      {"developer", 5},       {"genre_name", 6},    {"adult", 7},          {"media_name", 8},
      {"sale_year", 10},      {"rating", 11},       {"boot_count", 12},    {"last_boot", 13},
      {"creator", 23},        {"rom_num", 28},      {"breed", 36},         {"price", 37},
      {"media_detail", 38},   {"device", 39},       {"players", 40},       {"adultex_name", 41},
      {"savedat_detail", 43}, {"sound_detail", 44}, {"play_time", 46},     {"kana", 47},
      {"fave", 48},           {"emuset_name", 50},
  };
  for (const auto& p : positions)
    if (name == p.name) return p.position;
  return -1;
}

}  // namespace vel
