#include "library_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>

namespace vel::bench {
namespace {

const char* const kEnglishWords[] = {"Alpha", "Quest", "Dragon", "Star", "Legend", "Night", "Sword",
                                     "Dream", "Castle", "Hero", "Battle", "Space", "Magic", "Story",
                                     "Racing", "Puzzle", "Zone", "Force", "World", "Saga"};
const char* const kJapaneseWords[] = {"桜", "星空", "冒険", "伝説", "勇者", "魔法", "少女", "物語",
                                      "学園", "戦記", "迷宮", "忍者", "怪盗", "探偵", "竜",   "王国"};
const char* const kKana[] = {"さくら", "ほしぞら", "ぼうけん", "でんせつ", "ゆうしゃ", "まほう",
                             "しょうじょ", "ものがたり", "がくえん", "せんき", "めいきゅう", "にんじゃ",
                             "かいとう", "たんてい", "りゅう", "おうこく"};
const char* const kMakers[] = {"コナミ", "ナムコ", "ハドソン", "エニックス", "スクウェア", "光栄",
                               "日本ファルコム", "T&E SOFT", "ASCII", "Brøderbund", "Sierra",
                               "工画堂スタジオ", "システムソフト", "アルシスソフトウェア", "Pony Canyon"};
const char* const kGenres[] = {"RPG", "ACT", "STG", "SLG", "ADV", "PZL", "RCG", "SPT", "ETC"};
const char* const kMachines[] = {"PC-8801", "PC-9801", "X68000", "MSX2", "FM-7", "FM TOWNS", "X1"};
const char* const kCreators[] = {"[原作]山田太郎;", "[音楽]伊藤;", "[企画]佐藤;[プログラム]鈴木;",
                                 "[グラフィック]高橋;", "John Smith;", "[音楽]古代;[原作]田中;"};


int Trace(unsigned, void* context, void* statement, void*) {
  auto* recorder = static_cast<Recorder*>(context);
  if (!recorder->on) return 0;
  auto* prepared = static_cast<sqlite3_stmt*>(statement);
  const char* sql = sqlite3_sql(prepared);
  if (!sql || std::strncmp(sql, "--", 2) == 0 || std::strncmp(sql, "SELECT load_extension", 21) == 0) return 0;
  // A statement run with bound values is replayed with those values written in.
  if (sqlite3_bind_parameter_count(prepared) > 0) {
    if (char* expanded = sqlite3_expanded_sql(prepared)) {
      recorder->statements.Add(expanded);
      sqlite3_free(expanded);
      return 0;
    }
  }
  recorder->statements.Add(sql);
  return 0;
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
  }
}

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "%s\n  in %s\n", error, sql.c_str());
    std::exit(1);
  }
}

void GenerateLibrary(sqlite3* db, const LibraryShape& shape) {
  const int items = shape.items;
  std::mt19937 random(20261209);
  auto pick = [&](auto& list) { return list[random() % (sizeof(list) / sizeof(list[0]))]; };
  Exec(db, "BEGIN;");
  for (size_t i = 0; i < std::size(kMachines); ++i)
    Exec(db, "INSERT OR IGNORE INTO machine_info_table(machine_num,machine) VALUES(" + std::to_string(i + 1) +
                 ",'" + kMachines[i] + "');");
  for (size_t i = 0; i < std::size(kGenres); ++i)
    Exec(db, "INSERT OR IGNORE INTO genre_info_table(genre_num,genre) VALUES(" + std::to_string(i + 1) + ",'" +
                 kGenres[i] + "');");
  sqlite3_stmt* item = nullptr;
  Check(sqlite3_prepare_v2(db,
                           "INSERT INTO main_table(file_name,file_title,file_ext,machine_name,title,smart_title,"
                           "kana,maker,developer,genre_name,sale_year,version,ply,ply_file_name,rating,"
                           "boot_count,adult) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,'0')",
                           -1, &item, nullptr),
        db, "prepare");
  sqlite3_stmt* creator = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO creator_table VALUES(?,?)", -1, &creator, nullptr), db, "prepare");
  sqlite3_stmt* memo = nullptr;
  Check(sqlite3_prepare_v2(db, "INSERT INTO memo_table VALUES(?,?)", -1, &memo, nullptr), db, "prepare");

  int made = 0;
  for (int n = 0; made < items; ++n) {
    std::string title, kana;
    if (random() % 2) {
      title = std::string(pick(kEnglishWords)) + " " + pick(kEnglishWords);
      if (random() % 3 == 0) title += " " + std::to_string(random() % 4 + 2);
      kana = title;
    } else {
      size_t a = random() % std::size(kJapaneseWords), b = random() % std::size(kJapaneseWords);
      title = std::string(kJapaneseWords[a]) + "の" + kJapaneseWords[b];
      kana = std::string(kKana[a]) + "の" + kKana[b];
    }
    const char* machine = pick(kMachines);
    std::string maker = pick(kMakers);
    int disks = random() % 10 == 0 ? static_cast<int>(random() % 3 + 2) : 1;
    std::string first;
    for (int disk = 1; disk <= disks && made < items; ++disk, ++made) {
      std::string fileTitle = "game" + std::to_string(n) + (disks > 1 ? "_disk" + std::to_string(disk) : "");
      std::string key = std::string("D:\\images\\") + machine + "\\" + fileTitle + ".d88";
      if (disk == 1) first = key;
      std::string year = std::to_string(1983 + random() % 15) + "-0" + std::to_string(random() % 9 + 1) + "-00";
      const std::string number = shape.distinctTitles ? " #" + std::to_string(made + 1) : "";
      const std::string values[] = {key, fileTitle, "d88", machine, title + number, title + number, kana + number,
                                    maker, maker,
                                    pick(kGenres), year, random() % 5 == 0 ? "Rev " + std::to_string(random() % 3) : "",
                                    disks > 1 ? std::to_string(disk) : "", disk > 1 ? first : "",
                                    std::to_string(random() % 6 * 10), std::to_string(random() % 50)};
      for (int k = 0; k < 16; ++k) sqlite3_bind_text(item, k + 1, values[k].c_str(), -1, SQLITE_TRANSIENT);
      Check(sqlite3_step(item), db, "insert item");
      sqlite3_reset(item);
      if (disk == 1 && random() % 2 == 0) {
        std::string text = std::string(pick(kCreators)) + pick(kCreators);
        sqlite3_bind_text(creator, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(creator, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(creator), db, "insert creator");
        sqlite3_reset(creator);
      }
      if (disk == 1 && random() % 5 == 0) {
        std::string text = "攻略メモ: " + title + " は" + pick(kJapaneseWords) + "の面が難しい。Save at level " +
                           std::to_string(random() % 30) + ".";
        sqlite3_bind_text(memo, 1, key.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(memo, 2, text.c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(memo), db, "insert memo");
        sqlite3_reset(memo);
      }
    }
  }
  sqlite3_finalize(item);
  sqlite3_finalize(creator);
  sqlite3_finalize(memo);
  Exec(db, "DELETE FROM tmp_maxdisk; INSERT INTO tmp_maxdisk SELECT ply_file_name, max(ply) FROM main_table "
           "WHERE ply>1 GROUP BY ply_file_name; COMMIT;");
}

void RecordStatements(sqlite3* db, Recorder& recorder) { sqlite3_trace_v2(db, SQLITE_TRACE_STMT, Trace, &recorder); }

void StatementList::Add(const char* sql) {
  starts_.push_back(text_.size());
  text_.append(sql);
  text_.push_back('\0');
}

namespace {

void Run(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return;
  while (sqlite3_step(statement) == SQLITE_ROW) {
  }
  sqlite3_finalize(statement);
}

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

}  // namespace

void Replay(sqlite3* db, const StatementList& statements) {
  for (size_t i = 0; i < statements.size(); ++i) Run(db, statements[i]);
}

void ReplayInOneTransaction(sqlite3* db, const StatementList& statements) {
  Exec(db, "BEGIN;");
  for (size_t i = 0; i < statements.size(); ++i) {
    const char* sql = statements[i];
    if (!StartsWith(sql, "BEGIN") && !StartsWith(sql, "COMMIT") && !StartsWith(sql, "SAVEPOINT") &&
        !StartsWith(sql, "RELEASE") && !StartsWith(sql, "ROLLBACK"))
      Run(db, sql);
  }
  Exec(db, "COMMIT;");
}

}  // namespace vel::bench
