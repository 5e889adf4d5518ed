// The marks benchmark: the query history (a search recorded, Back and
// Forward), the favourite and adult marks of a whole selection, one rating
// click, the title candidates and the listing of the saved queries, timed on
// a generated library. Where there is a ceiling it is the statements the
// operation ran, recorded while it ran and replayed with prepare/step only
// from the same state.
//
//   marks_bench [--items N] [--runs R] [--db PATH] [--extension DLL]
//
// The regular-expression candidates need the library's extension (by default
// the one built beside this program's folder); without it they are skipped.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "library_fixture.h"
#include "scratch_library.h"
#include "target_table.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/folder_tree.h"
#include "platform/system.h"
#include "search/candidates.h"
#include "search/item_flags.h"
#include "search/item_list_query.h"
#include "search/migemo.h"
#include "search/query_history.h"
#include "search/saved_queries.h"
#include "search/search_items.h"

namespace {

using namespace vel;
using namespace vel::bench;

int Transactions(const StatementList& statements) {
  int count = 0;
  for (size_t i = 0; i < statements.size(); ++i) count += std::strncmp(statements[i], "BEGIN", 5) == 0;
  return count;
}

std::vector<std::string> AllKeys(LibraryConnection& db) {
  std::vector<std::string> keys;
  if (!db.Query("SELECT file_name FROM main_table ORDER BY rowid;"))
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, 0));
  return keys;
}

// ---- The query history. The search runs on the main connection and the
// history is kept on a second one, as the program keeps them.
const char* const kSearchWords[] = {"Dragon", "Quest", "Star", "Legend", "Night", "Sword", "Dream", "Castle",
                                    "Hero",   "Battle", "Space", "Magic", "Story", "Zone",  "Force", "Saga"};

// The statements of a history step on the two connections, in the order
// they ran, each kept with the connection it ran on: the ceiling runs them
// on the same connections, so that it pays as the program does for one
// connection's write making the other read the changed library anew.
struct TaggedStatements {
  bool on = false;
  StatementList statements;
  std::vector<int> connection;  // 0 the search's, 1 the history's
};
struct TaggedSource {
  TaggedStatements* target;
  int connection;
};

int TraceTagged(unsigned, void* context, void* statement, void*) {
  auto* source = static_cast<TaggedSource*>(context);
  if (!source->target->on) return 0;
  auto* prepared = static_cast<sqlite3_stmt*>(statement);
  const char* sql = sqlite3_sql(prepared);
  if (!sql || std::strncmp(sql, "--", 2) == 0 || std::strncmp(sql, "SELECT load_extension", 21) == 0) return 0;
  if (sqlite3_bind_parameter_count(prepared) > 0) {
    if (char* expanded = sqlite3_expanded_sql(prepared)) {
      source->target->statements.Add(expanded);
      source->target->connection.push_back(source->connection);
      sqlite3_free(expanded);
      return 0;
    }
  }
  source->target->statements.Add(sql);
  source->target->connection.push_back(source->connection);
  return 0;
}

void ReplayTagged(const TaggedStatements& tagged, sqlite3* search, sqlite3* history) {
  for (size_t i = 0; i < tagged.statements.size(); ++i) {
    StatementList one;
    one.Add(tagged.statements[i]);
    Replay(tagged.connection[i] ? history : search, one);
  }
}

struct HistoryTimes {
  std::vector<double> record, recordCeiling, search, step, stepCeiling;
  int stepRows = 0;
};

void TimeHistory(const std::string& path, int searches, HistoryTimes& times) {
  LibraryConnection searchDb, historyDb;
  searchDb.Open(path, "");
  historyDb.Open(path, "");
  ListQueryState state;
  SearchEnvironment env;
  env.db = &searchDb;
  // The program's recording after a search: the statement kept, then the
  // Back and Forward buttons read; its statements replayed at once after it
  // (they keep the same entry once more).
  Recorder recording;
  RecordStatements(historyDb.Handle(), recording);
  env.saveHistory = [&](int target, const std::string& text) {
    recording.statements.clear();
    recording.on = true;
    auto t0 = Clock::now();
    HistoryRecord recorded = SaveHistQuery(historyDb, target, text);
    ReadHistoryButtons(historyDb);
    times.record.push_back(Ms(Clock::now() - t0));
    recording.on = false;
    if (recorded != HistoryRecord::Recorded) std::fprintf(stderr, "history: not recorded (%d)\n", int(recorded));
    t0 = Clock::now();
    Replay(historyDb.Handle(), recording.statements);
    times.recordCeiling.push_back(Ms(Clock::now() - t0));
  };
  for (int i = 0; i < searches; ++i) {
    const std::string text = std::string(kSearchWords[i % std::size(kSearchWords)]) + " " +
                             kSearchWords[(i * 7 + 3) % std::size(kSearchWords)];
    auto t0 = Clock::now();
    SearchOutcome outcome = SearchItems(env, state, text, kTargetTitle, kMatchWords, false);
    times.search.push_back(Ms(Clock::now() - t0));
    if (outcome.result < 0) std::fprintf(stderr, "search failed: %s\n", text.c_str());
  }

  // Back steps, each timed with the list read as the program reads it after
  // the step, then against the replay of the statements it ran; Forward puts
  // the state back before each timing.
  TaggedStatements recorder;
  TaggedSource fromSearch{&recorder, 0}, fromHistory{&recorder, 1};
  sqlite3_trace_v2(searchDb.Handle(), SQLITE_TRACE_STMT, TraceTagged, &fromSearch);
  sqlite3_trace_v2(historyDb.Handle(), SQLITE_TRACE_STMT, TraceTagged, &fromHistory);  // replaces the recording's
  auto step = [&](int direction) {
    HistoryStep moved = StepHistory(historyDb, searchDb, direction);
    if (moved.status != HistoryStep::Moved) return -1;
    state.sqlOrderInForce = false;
    state.groupCondition.clear();
    state.loaded = {};
    if (LoadItemList(searchDb, state, true)) return -1;
    ReadHistoryButtons(historyDb);
    return searchDb.RowCount();
  };
  for (int i = 0; i < std::min(searches - 1, 5); ++i) {
    recorder.statements.clear();
    recorder.connection.clear();
    recorder.on = true;
    step(-1);
    recorder.on = false;
    const TaggedStatements back = recorder;
    if (step(1) < 0) std::fprintf(stderr, "forward step failed\n");
    auto t0 = Clock::now();
    times.stepRows = step(-1);
    times.step.push_back(Ms(Clock::now() - t0));
    step(1);
    t0 = Clock::now();
    ReplayTagged(back, searchDb.Handle(), historyDb.Handle());
    times.stepCeiling.push_back(Ms(Clock::now() - t0));
    step(1);  // the replay stepped back
  }
}

// Fills the history with `rows` entries of search views (none current but the last).
void FillHistory(const std::string& path, int rows) {
  LibraryConnection db;
  db.Open(path, "");
  sqlite3* handle = db.Handle();
  Exec(handle, "BEGIN; DELETE FROM tmp_hist_table;");
  sqlite3_stmt* insert = nullptr;
  Check(sqlite3_prepare_v2(handle, "INSERT INTO tmp_hist_table(srch_locate,sbject,query,current) VALUES(2,?,?,0)",
                           -1, &insert, nullptr),
        handle, "prepare");
  for (int i = 0; i < rows; ++i) {
    const std::string word = kSearchWords[i % std::size(kSearchWords)] + std::to_string(i);
    const std::string query = "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( title LIKE '%" + word +
                              "%' ESCAPE '\\' ) AND ply<=1 ;";
    sqlite3_bind_text(insert, 1, word.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, query.c_str(), -1, SQLITE_TRANSIENT);
    Check(sqlite3_step(insert), handle, "insert history");
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  Exec(handle, "UPDATE tmp_hist_table SET current=1 WHERE id=(SELECT MAX(id) FROM tmp_hist_table); COMMIT;");
}

void HistoryRows(const std::string& path, int historyRows, int runs) {
  FillHistory(path, historyRows);
  HistoryTimes times;
  TimeHistory(path, std::max(runs, 2) + 3, times);
  const std::string held = historyRows ? " (" + std::to_string(historyRows) + " rows held)" : " (history empty)";
  TargetRow record{"history: search recorded" + held};
  record.rows = static_cast<int>(times.record.size());
  record.program = Median(times.record);
  record.ceiling = Median(times.recordCeiling);
  record.absolute = true;
  record.target = 10;
  PrintTargetRow(record);
  std::printf("  the search itself: median %.1f ms\n", Median(times.search));
  TargetRow step{"history: Back step, view and list" + held};
  step.rows = times.stepRows;
  step.program = Median(times.step);
  step.ceiling = Median(times.stepCeiling);
  step.target = 1.2;
  PrintTargetRow(step);
}

// ---- The saved queries: `folders` folders of `perFolder` queries each.
bool MakeQueryFolders(const std::string& root, int folders, int perFolder) {
  RemoveFolderTree(root);
  if (!CreateFolder(root)) return false;
  for (int f = 0; f < folders; ++f) {
    const std::string folder = root + "\\" + (f % 2 ? "Folder " : Jp("フォルダ")) + std::to_string(f);
    if (!CreateFolder(folder)) return false;
    for (int q = 0; q < perFolder; ++q) {
      QuerySave save{folder, "", (q % 2 ? "Query " : Jp("検索")) + std::to_string(q),
                     "SELECT * FROM all_item_view\r\nWHERE machine_name='PC-9801' AND sale_year LIKE '19" +
                         std::to_string(80 + q) + "%';",
                     ""};
      if (!SaveQueryFile(save).saved) return false;
    }
  }
  return true;
}

size_t CountQueries(const std::vector<QueryNode>& nodes) {
  size_t count = 0;
  for (const QueryNode& node : nodes) count += node.isFolder ? CountQueries(node.children) : 1;
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  int items = 100000, runs = 3;
  std::string path = "marks_bench.db";
#ifdef _WIN32
  std::string extension = "..\\..\\lib\\regex_extension\\SQLite_RegEx_Extension.dll";
#else
  std::string extension = "../../lib/regex_extension/SQLite_RegEx_Extension.dll";
#endif
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--items")) items = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
    else if (!std::strcmp(argv[i], "--db")) path = argv[i + 1];
    else if (!std::strcmp(argv[i], "--extension")) extension = argv[i + 1];
  }
  if (items <= 0) {
    std::fprintf(stderr, "usage: marks_bench [--items N] [--runs R] [--db PATH] [--extension DLL]\n");
    return 2;
  }
  ScratchLibrary bench(path, runs);
  if (!bench.Generate({items, false})) return 1;
  std::vector<std::string> keys;
  {
    LibraryConnection db;
    db.Open(path, "");
    keys = AllKeys(db);
  }

  PrintTargetHeader();

  // The history with a few entries and with 100,000 of them.
  HistoryRows(path, 0, runs);
  HistoryRows(path, 100000, runs);
  bench.Restore();

  // Favourite 3 added to every item, then the adult mark set on every item,
  // as the list's commands store them (the selection's current values read
  // from the list).
  StatementList recorded;
  {
    std::vector<FlagRow> rows;
    for (const std::string& key : keys) rows.push_back({key, ""});
    std::vector<std::string> next;
    for (const FlagRow& row : rows) next.push_back(ChangedFave(row.value, FavouriteDigit(3), true));
    TargetRow fave = bench.Change("favourite 3 added, whole selection", 1.2, [&](LibraryConnection& db) {
      return WriteFavourites(db, rows, next) ? -1 : static_cast<int>(rows.size());
    }, &recorded);
    PrintTargetRow(fave);
    std::printf("  transactions: %d\n", Transactions(recorded));
  }
  {
    const std::string value = NewAdultValue("0");
    TargetRow adult = bench.Change("adult mark set, whole selection", 1.2, [&](LibraryConnection& db) {
      return WriteAdult(db, keys, value) ? -1 : static_cast<int>(keys.size());
    }, &recorded);
    PrintTargetRow(adult);
    std::printf("  transactions: %d\n", Transactions(recorded));
  }

  // One rating click: a connection of its own opened, the statement run and
  // the connection closed, as the list's click stores it.
  {
    bench.Restore();
    std::vector<double> times;
    for (int r = 0; r < std::max(runs, 5); ++r) {
      const std::string& key = keys[(r * 7919) % keys.size()];
      auto t0 = Clock::now();
      LibraryConnection db;
      db.Open(path, "");
      auto error = db.Query(RatingStatement(key, (r % 5 + 1) * 10));
      db.Close();
      times.push_back(Ms(Clock::now() - t0));
      if (error) std::fprintf(stderr, "rating: %s\n", error->c_str());
    }
    TargetRow rating{"rating click stored (connection opened and closed)"};
    rating.rows = 1;
    rating.program = Median(times);
    rating.absolute = true;
    rating.target = 50;
    PrintTargetRow(rating);
  }

  // The title candidates as typed: each statement read into the worker's
  // connection, against stepping the same statement.
  {
    bench.Restore();
    LibraryConnection db;
    db.Open(path, "");
    LibraryConnection regexDb;
    const bool withRegex = FileExists(extension);
    if (withRegex) {
      regexDb.Open(path, extension);
      if (regexDb.Query("SELECT 'a' REGEXP 'a';")) {
        std::fprintf(stderr, "the extension %s does not load\n", extension.c_str());
        regexDb.Close();
      }
    } else {
      std::printf("  (no extension at %s: the regular-expression candidates are skipped)\n", extension.c_str());
    }
    struct Case {
      std::string name, text, pattern;
      int limit;
      bool stems;
    };
    const std::vector<Case> cases = {
        {"candidates: LIKE \"Dr\", 50", "Dr", "", 50, false},
        {"candidates: LIKE \"Dragon\", 50", "Dragon", "", 50, false},
        {"candidates: LIKE \"Qx\" (none), 50", "Qx", "", 50, false},
        {"candidates: LIKE two kanji, no limit", Jp("星空"), "", 0, false},
        {"candidates: LIKE \"Quest\", stems, no limit", "Quest", "", 0, true},
        {"candidates: REGEXP kana/title \"ma\", 50", "ma", "(ma|ま|マ)", 50, false},
        {"candidates: REGEXP kana/title \"ma\", stems, no limit", "ma", "(ma|ま|マ)", 0, true},
    };
    for (const Case& c : cases) {
      const bool regex = !c.pattern.empty();
      if (regex && !regexDb.IsOpen()) continue;
      LibraryConnection& on = regex ? regexDb : db;
      CandidateRequest request;
      request.text = c.text;
      request.migemoPattern = regex ? Jp(c.pattern) : "";
      request.regexEngine = regex ? kRegexOperator : 0;
      request.lastLimit = c.limit;
      request.titleStems = c.stems;
      const std::string sql = CandidateStatement(request);
      const std::string utf8 = AnsiToUtf8(sql);
      std::vector<double> program, ceiling;
      int rows = 0;
      for (int r = 0; r < std::max(runs, 5) * 4; ++r) {
        auto t0 = Clock::now();
        if (auto error = on.Query(sql)) std::fprintf(stderr, "candidates: %s\n", error->c_str());
        program.push_back(Ms(Clock::now() - t0));
        rows = on.RowCount();
        StatementList one;
        one.Add(utf8.c_str());
        t0 = Clock::now();
        Replay(on.Handle(), one);
        ceiling.push_back(Ms(Clock::now() - t0));
      }
      TargetRow row{c.name};
      row.rows = rows;
      row.program = Median(program);
      row.ceiling = Median(ceiling);
      row.target = 1.2;
      PrintTargetRow(row);
    }
  }

  // The saved queries: 1,000 queries in 100 folders, the tree listed.
  {
    const std::string root = CurrentDirectory() + "\\marks_bench_query";
    if (!MakeQueryFolders(root, 100, 10)) {
      std::fprintf(stderr, "cannot write the query folders under %s\n", root.c_str());
    } else {
      std::vector<double> times;
      size_t listed = 0;
      for (int r = 0; r < std::max(runs, 5); ++r) {
        auto t0 = Clock::now();
        std::vector<QueryNode> tree = ListQueryTree(root);
        times.push_back(Ms(Clock::now() - t0));
        listed = CountQueries(tree);
      }
      TargetRow tree{"query tree listed (100 folders)"};
      tree.rows = static_cast<int>(listed);
      tree.program = Median(times);
      tree.absolute = true;
      tree.target = 300;
      PrintTargetRow(tree);
    }
    RemoveFolderTree(root);
  }
  bench.RemoveFiles();
  return 0;
}
