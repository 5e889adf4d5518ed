#include "search/sort_model.h"

#include <algorithm>

#include "platform/codepage.h"

namespace vel {
namespace {

struct SortColumnDef {
  const char* name;        // plain name ("" for machine/genre)
  const char* expression;  // sort expression
  const char* label;       // UTF-8
};

const SortColumnDef kColumns[kSortColumnCount] = {
    {"title", "title", "タイトル"},
    {"maker", "maker", "メーカー"},
    {"", "", "機種/ジャンル"},
    {"rating", "rating", "評価"},
    {"sale_year", "sale_year", "発売日"},
    {"boot_count", "boot_count+0", "起動回数"},
    {"last_boot", "last_boot", "最終起動日"},
    {"developer", "developer", "開発元"},
    {"breed", "breed", "型番"},
    {"price", "price+0", "価格"},
    {"media_detail", "media_detail", "メディア情報"},
    {"device", "device", "対応機器"},
    {"players", "players", "プレイヤー数"},
    {"adultex_name", "adultex_name", "拡張R指定"},
    {"savedat_detail", "savedat_detail", "セーブデータ情報"},
    {"sound_detail", "sound_detail", "サウンド情報"},
    {"play_time", "play_time", "プレイ時間"},
    {"kana", "kana", "読み仮名"},
    {"rom_num", "rom_num+0", "ROM番号"},
};

const char* const kMachineGenreTerms[4] = {
    "machine_name, genre_name",
    "machine_name DESC, genre_name",
    "genre_name, machine_name",
    "genre_name DESC, machine_name",
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

std::string OrderByList(const SortState& state) {
  std::string list;
  for (int column : state.keys) {
    if (!list.empty()) list += ", ";
    if (column == kSortMachineGenre) {
      list += kMachineGenreTerms[state.dir[column] & 3];
    } else {
      list += kColumns[column].expression;
      if (state.dir[column] == 1) list += " DESC";
    }
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
