// list_bench [items] [folder]: generates a library of `items` items (default
// 100000) and times the item list's operations against SQLite stepping
// through the same statements without reading a column.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "search/group_kinds.h"
#include "search/initial_index.h"
#include "search/item_list_query.h"

using namespace vel;

namespace {

const char* const kJapaneseWords[] = {"ドラゴン", "伝説", "魔界", "村", "戦記", "物語", "英雄",
                                      "迷宮", "星", "剣", "少女", "探偵", "忍者", "銀河", "夢",
                                      "学園", "怪盗", "紋章", "王国", "騎士"};
const char* const kEnglishWords[] = {"Alpha", "Quest", "Zone", "Star", "Force", "Legend", "Dark",
                                     "Knight", "Racing", "Puzzle", "Island", "Space", "Castle",
                                     "Hero", "Shadow", "Master", "Tower", "Empire", "Wing", "Fire"};
const char* const kMachines[] = {"PC-8801", "PC-9801", "X68000", "MSX2", "FM-7", "FC", "SFC", "MD", "PCE", "GB"};
const char* const kGenres[] = {"RPG", "ACT", "STG", "SLG", "ADV", "PZL", "SPT", "RCG"};
const char* const kMedia[] = {"FD", "ROM", "CD", "TAPE"};
const char* const kRoles[] = {"原作", "音楽", "企画", "作画", "プログラム"};
const char* const kNames[] = {"山田", "伊藤", "佐藤", "鈴木", "高橋", "田中", "渡辺", "中村",
                              "Smith", "Jones", "Brown", "Miller"};

// The path as SQLite opens it in this build.
std::string OpenPath(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return NativePath(path);
#endif
}

template <size_t N>
const char* Pick(const char* const (&list)[N], std::mt19937& rng) {
  return list[rng() % N];
}

void Must(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "%s\n%s\n", error ? error : "?", sql);
    std::exit(1);
  }
}

void Generate(const std::string& path, int items) {
  LibraryConnection setup;
  setup.Open(path, "");
  if (auto error = CreateOrUpgradeSchema(setup)) {
    std::fprintf(stderr, "schema: %s\n", error->c_str());
    std::exit(1);
  }
  CreateItemView(setup);
  setup.Close();
  sqlite3* db = nullptr;
  sqlite3_open(OpenPath(path).c_str(), &db);
  Must(db, "BEGIN;");
  for (const char* m : kMachines) {
    std::string sql = std::string("INSERT OR IGNORE INTO machine_info_table(machine,snap_path) VALUES('") + m +
                      "','D:\\snap\\" + m + "');";
    Must(db, sql.c_str());
  }
  sqlite3_stmt *main = nullptr, *creator = nullptr, *memo = nullptr, *spec = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO main_table(file_name,file_title,file_ext,machine_name,title,kana,maker,"
                     "developer,country,sale_year,rom_num,adult,rating,genre_name,media_name,boot_count,"
                     "last_boot,ply,ply_file_name,crc32,crc,play_time,smart_title) "
                     "VALUES(?,?,'zip',?,?,?,?,?,'JP',?,?,?,?,?,?,?,?,?,?,?,?,?,?);",
                     -1, &main, nullptr);
  sqlite3_prepare_v2(db, "INSERT INTO creator_table VALUES(?,?);", -1, &creator, nullptr);
  sqlite3_prepare_v2(db, "INSERT INTO memo_table VALUES(?,?);", -1, &memo, nullptr);
  sqlite3_prepare_v2(db, "INSERT INTO spec_table(pfile_sc,breed,price,players) VALUES(?,?,?,?);", -1, &spec, nullptr);
  std::mt19937 rng(12345);
  std::string firstDisk;
  int disk = 0;
  for (int i = 0; i < items; ++i) {
    bool japanese = rng() % 2;
    std::string title;
    int words = 2 + rng() % 3;
    for (int w = 0; w < words; ++w) {
      if (!japanese && w) title += ' ';
      title += japanese ? Pick(kJapaneseWords, rng) : Pick(kEnglishWords, rng);
    }
    if (rng() % 4 == 0) title += " " + std::to_string(1 + rng() % 4);
    const char* machine = Pick(kMachines, rng);
    // Every 20th title is a set of 2 to 4 disks.
    if (disk == 0 && i % 20 == 0) disk = 1;
    std::string file = std::string("D:\\Roms\\") + machine + "\\" + title + " (" + std::to_string(i) + ")";
    if (disk) file += " (Disk " + std::to_string(disk) + ")";
    file += ".zip";
    std::string maker = "Maker" + std::to_string(rng() % 400);
    std::string year = std::to_string(1980 + rng() % 20) + "-" + std::to_string(10 + rng() % 3) + "-00";
    std::string crc32 = std::to_string(100000000 + rng() % 899999999);
    auto text = [&](int column, const std::string& value) {
      sqlite3_bind_text(main, column, value.c_str(), -1, SQLITE_TRANSIENT);
    };
    text(1, file);
    text(2, title + " (" + std::to_string(i) + ")");
    text(3, machine);
    text(4, title);
    text(5, japanese ? "どらごんでんせつ" : "");
    text(6, maker);
    text(7, rng() % 3 ? maker : "Dev" + std::to_string(rng() % 100));
    text(8, rng() % 10 ? year : "0");
    sqlite3_bind_int(main, 9, i);
    sqlite3_bind_int(main, 10, rng() % 8 == 0);
    sqlite3_bind_int(main, 11, 10 * (rng() % 6));
    text(12, Pick(kGenres, rng));
    text(13, Pick(kMedia, rng));
    sqlite3_bind_int(main, 14, rng() % 3 ? 0 : rng() % 200);
    text(15, rng() % 3 ? "" : "2023-0" + std::to_string(1 + rng() % 9) + "-12 10:20:30");
    sqlite3_bind_int(main, 16, disk);
    text(17, disk > 1 ? firstDisk : "");
    text(18, crc32);
    text(19, crc32.substr(0, 4));
    text(20, rng() % 3 ? "" : "0" + std::to_string(10 + rng() % 89) + ":12:34");
    text(21, title);
    if (sqlite3_step(main) != SQLITE_DONE) {
      std::fprintf(stderr, "insert: %s\n", sqlite3_errmsg(db));
      std::exit(1);
    }
    sqlite3_reset(main);
    if (disk == 1) firstDisk = file;
    if (disk) disk = disk >= 2 + (i % 3) ? 0 : disk + 1;
    if (rng() % 2) {
      std::string names;
      for (int n = 1 + rng() % 3; n > 0; --n)
        names += std::string("[") + Pick(kRoles, rng) + "]" + Pick(kNames, rng) + ";";
      sqlite3_bind_text(creator, 1, file.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(creator, 2, names.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(creator);
      sqlite3_reset(creator);
    }
    if (rng() % 5 == 0) {
      std::string note = "メモ: " + title + " をクリアした。裏技あり。Played on real hardware.";
      sqlite3_bind_text(memo, 1, file.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(memo, 2, note.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(memo);
      sqlite3_reset(memo);
    }
    if (rng() % 2) {
      std::string breed = "XY-" + std::to_string(1000 + rng() % 9000);
      sqlite3_bind_text(spec, 1, file.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(spec, 2, breed.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(spec, 3, 4800 + 100 * (rng() % 50));
      sqlite3_bind_text(spec, 4, "1-2", -1, SQLITE_STATIC);
      sqlite3_step(spec);
      sqlite3_reset(spec);
    }
  }
  for (sqlite3_stmt* s : {main, creator, memo, spec}) sqlite3_finalize(s);
  Must(db, "INSERT INTO tmp_maxdisk SELECT ply_file_name, max(ply) FROM main_table WHERE ply>1 GROUP BY ply_file_name;");
  Must(db, "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );");
  Must(db, "COMMIT;");
  sqlite3_close(db);
}

double Seconds(const std::function<void()>& work, int runs = 3) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

// SQLite stepping through every statement of the text, reading nothing.
void StepOnly(sqlite3* db, const std::string& cp932) {
  std::string utf8 = AnsiToUtf8(cp932);
  const char* tail = utf8.c_str();
  while (*tail) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, tail, -1, &statement, &tail) != SQLITE_OK) {
      std::fprintf(stderr, "step: %s\n", sqlite3_errmsg(db));
      std::exit(1);
    }
    if (!statement) continue;
    while (sqlite3_step(statement) == SQLITE_ROW) {
    }
    sqlite3_finalize(statement);
  }
}

long PeakKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

void Report(const char* what, double ours, double ceiling) {
  std::printf("%-34s %9.1f ms   SQLite stepping %9.1f ms   ratio %.2f\n", what, ours * 1000,
              ceiling * 1000, ours / ceiling);
}

}  // namespace

int main(int argc, char** argv) {
  int items = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string folder = argc > 2 ? argv[2] : ".";
  std::string path = folder + "/list_bench.db";
  RemoveFile(path);
  auto generateStart = std::chrono::steady_clock::now();
  Generate(path, items);
  std::chrono::duration<double> generated = std::chrono::steady_clock::now() - generateStart;
  std::printf("library of %d items generated in %.1f s (%s)\n", items, generated.count(), path.c_str());

  LibraryConnection list, groups;
  list.Open(path, "");
  groups.Open(path, "");
  sqlite3* raw = nullptr;
  sqlite3_open(OpenPath(path).c_str(), &raw);
  ListQueryState state;
  ColumnDisplay shown{};

  // Warm the page cache once.
  LoadItemList(list, state, true);

  // Header sort: a click on the maker header reloads the whole list.
  ApplySortRequest(state.sort, kSortMaker, kSortToggle, false, shown);
  double sortOurs = Seconds([&] { LoadItemList(list, state, true); });
  double sortCeiling = Seconds([&] { StepOnly(raw, ListStatement(state, true)); });
  Report("header sort (maker)", sortOurs, sortCeiling);

  // Group switch: the genre group "RPG" narrows the list.
  ListQueryState grouped = state;
  grouped.groupCondition = GroupCondition(kGroupGenre, 1, "RPG");
  double groupOurs = Seconds([&] { LoadItemList(list, grouped, true); });
  double groupCeiling = Seconds([&] { StepOnly(raw, ListStatement(grouped, true)); });
  Report("group switch (genre RPG)", groupOurs, groupCeiling);
  std::vector<std::string> values;
  double creatorOurs = Seconds([&] { ReadGroupValues(groups, kGroupCreator, values); });
  std::printf("%-34s %9.1f ms   (%zu names, work table rebuilt)\n", "creator group list", creatorOurs * 1000,
              values.size());

  // Initial index by title, and a full pass of Page Down.
  ApplySortRequest(state.sort, kSortTitle, kSortAscending, false, shown);
  LoadItemList(list, state, true);
  InitialIndex index;
  double indexOurs = Seconds([&] { BuildInitialIndex(groups, state.sort, false, index); });
  double indexCeiling = Seconds([&] { StepOnly(raw, InitialIndexStatement(state.sort)); });
  Report("initial index (title)", indexOurs, indexCeiling);
  int jumps = 0;
  double seek = Seconds([&] {
    jumps = 0;
    for (int row = 1; (row = SeekInitial(index, state.sort, list, row, true)) != 0;) ++jumps;
  }, 1);
  std::printf("%-34s %9.1f ms   (%d keys, %d jumps, %.3f ms each)\n", "Page Down through the list", seek * 1000,
              static_cast<int>(index.keys.size()), jumps, jumps ? seek * 1000 / jumps : 0.0);

  // Memory of the loaded list against its UTF-8 text.
  long before = PeakKilobytes();
  ListQueryState whole;
  LoadItemList(list, whole, true);
  size_t text = 0;
  for (int r = 1; r <= list.RowCount(); ++r)
    for (int c = 0; c < list.ColumnCount(); ++c) text += list.CellUtf8(r, c).size();
  std::printf("list result: %d rows x %d columns, UTF-8 text %.1f MB, held %.1f MB, ratio %.2f\n",
              list.RowCount(), list.ColumnCount(), text / 1e6, list.ResultBytes() / 1e6,
              static_cast<double>(list.ResultBytes()) / static_cast<double>(text));
  if (before > 0)
    std::printf("process peak memory %.1f MB\n", PeakKilobytes() / 1e3);
  sqlite3_close(raw);
  return 0;
}
