// The library benchmark: generates a library of N items (Japanese and English
// titles, makers, genres, creators, memos, multi-disk sets) and times named
// operations of the program on it. Each operation's time is set beside the
// time SQLite takes merely stepping through the same statements (the
// ceiling): while an operation runs, every statement it executes is recorded,
// and the ceiling replays them with prepare/step only, with no result grid
// and no text conversion. Beside them stands the floor: a plain in-memory
// substring scan over the searched text of every item.
//
//   library_bench [--items N] [--runs R] [--db PATH] [--only TEXT] [--migemo-patterns FILE]
//   library_bench --write-migemo-patterns FILE   (native: asks the real Migemo)
//
// With --migemo-patterns the fuzzy search also runs with the Migemo patterns
// of the file (written natively beforehand), through the library's
// regular-expression extension.
// --only times only the rows whose name holds TEXT (the sections after the
// table are left out; a maintenance row still gets what it starts from).
// Add an operation by appending to the table in main(). After the table: a
// full Page Down pass and the memory the loaded list takes against its text.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "library_fixture.h"
#include "migemo_patterns.h"
#include "db/schema.h"
#include "editing/record_editor.h"
#include "maintenance/column_replace.h"
#include "maintenance/csv_exchange.h"
#include "maintenance/csv_format.h"
#include "maintenance/missing_images.h"
#include "maintenance/rename_data.h"
#include "maintenance/rename_plugin.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/output_file.h"
#include "platform/path_presence.h"
#include "platform/system.h"
#include "search/group_kinds.h"
#include "search/initial_index.h"
#include "search/item_list_query.h"
#include "search/search_items.h"
#include "search/sort_model.h"

namespace {

using namespace vel::bench;

// Whether a row is timed (every row without --only).
struct Wanted {
  std::string only;
  bool operator()(const std::string& name) const { return only.empty() || name.find(only) != std::string::npos; }
};

struct Operation {
  std::string name;
  std::function<int()> run;  // returns the rows it produced
  std::function<void()> prepare = {};  // run before each timing, untimed
};


// A program path as the C library opens it.
std::string NativePathOf(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return vel::NativePath(path);
#endif
}

// A maintenance run's report that only counts.
struct QuietReport : vel::RunReport {
  void Log(const std::string&) override { ++lines; }
  void StartProgress(int) override {}
  void StepProgress() override {}
  int Ask(const std::string&, const std::string&, unsigned) override { return vel::kIdNo; }
  int lines = 0;
};

// The moments the write lock of the removal was taken and given back.
struct LockWatch {
  Clock::time_point begun{}, committed{};
};

int WatchLock(unsigned type, void* context, void* statement, void*) {
  auto* watch = static_cast<LockWatch*>(context);
  const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
  if (!sql) return 0;
  if (type == SQLITE_TRACE_STMT && std::strncmp(sql, "BEGIN IMMEDIATE", 15) == 0) watch->begun = Clock::now();
  if (type == SQLITE_TRACE_PROFILE && std::strncmp(sql, "COMMIT", 6) == 0) watch->committed = Clock::now();
  return 0;
}

// A rename run's report that only counts.
struct QuietRenameReport : vel::RenameReport {
  void Status(const std::string&) override { ++lines; }
  void Key(const std::string&) override {}
  void StartProgress(int) override {}
  void StepProgress() override {}
  void TestRow(const std::vector<std::string>&) override {}
  int Ask(const std::string&, const std::string&, unsigned) override { return vel::kIdYes; }
  int lines = 0;
};

// Rename data for the machine with the most items, keyed by file title: a
// list with a line for every item (title, maker, year, creator, price and
// model) through the benchmark's indexed plug-in, beside loading the list,
// calling the plug-in for every key and replaying the statements written.
void RenameDataRun(vel::LibraryConnection& db, Recorder& recorder, const std::string& path, int runs,
                   const vel::TitleConverter& converter) {
  using namespace vel;
  RenamePlugin plugin;
  if (!plugin.Load(VEL_BENCH_PLUGIN)) {
    std::printf("rename data: the plug-in %s cannot be loaded\n", VEL_BENCH_PLUGIN);
    return;
  }
  db.Query("SELECT machine_name FROM main_table GROUP BY machine_name ORDER BY count(*) DESC LIMIT 1;");
  RenameRequest request;
  request.machine = db.Cell(1, 0);
  request.listPath = path + ".list.txt";
  for (int k = 0; k < kRenameKeyChoiceCount; ++k)
    if (RenameKeyChoiceAt(k).type == kKeyFileTitle) request.keyChoice = k;
  for (int f : {kRnTitle, kRnMaker, kRnYear, kRnCreator, kRnPrice, kRnModel}) request.ticked[static_cast<size_t>(f)] = true;
  db.Query("SELECT file_title FROM main_table WHERE machine_name='" + Quote(request.machine) + "';");
  std::vector<std::string> keys;
  std::string list;
  for (int r = 1; r <= db.RowCount(); ++r) {
    keys.push_back(db.Cell(r, 0));
    list += keys.back() + Jp("\tGetTitle=新しい題名 ") + std::to_string(r) + Jp("\tGetMaker=改名ソフト") +
            "\tGetYear=" + std::to_string(1983 + r % 15) + Jp("\tGetCreator=[音楽]作者;") + "\tGetPrice=" +
            std::to_string(r % 90 * 100) + "\tGetModel=RN-" + std::to_string(r) + "\r\n";
  }
  {
    OutputFile out;
    out.Create(request.listPath);
    out.Write(list.data(), list.size());
    out.Close();
  }
  StopFlag stop{kRunRunning};
  QuietRenameReport report;
  std::vector<double> program, ceiling;
  int rows = 0;
  for (int r = 0; r < runs; ++r) {
    recorder.statements.clear();
    recorder.on = true;
    auto t0 = Clock::now();
    rows = RunRenameData(db, plugin, &converter, request, stop, report).matches;
    program.push_back(Ms(Clock::now() - t0));
    recorder.on = false;
    auto t1 = Clock::now();
    std::vector<char> data;
    LoadListData(request.listPath, data);
    const std::int16_t keyType = kKeyFileTitle;
    for (const std::string& key : keys)
      for (int f = 0; f < kRenameFieldCount; ++f) {
        if (!request.ticked[static_cast<size_t>(f)]) continue;
        if (RenameFieldOf(f).number)
          plugin.Number(f, data.data(), key, keyType);
        else
          plugin.Text(f, data.data(), key, keyType);
      }
    ReplayInOneTransaction(db.Handle(), recorder.statements);
    ceiling.push_back(Ms(Clock::now() - t1));
  }
  std::printf("%-44s %8d %12.1f %12.1f %7.2f\n", "rename data update, one machine", rows, Median(program),
              Median(ceiling), Median(ceiling) > 0 ? Median(program) / Median(ceiling) : 0.0);
  RemoveFile(request.listPath);
}

// Every item of the library as the export writes its lines, the members of
// sets included (the export leaves them out), so that an import of the file
// updates every item. Returns the lines written.
int WriteAllItemsCsv(vel::LibraryConnection& db, const std::string& csv) {
  using namespace vel;
  std::string sql = "SELECT ";
  for (int f = 0; f < kCsvFieldCount; ++f) {
    const char* table = f == kCsvCreator ? "cr." : f >= kCsvFirstSpecField ? "sc." : "m.";
    sql += std::string(f ? "," : "") + table + kCsvColumns[f].column;
  }
  sql += " FROM main_table m LEFT JOIN spec_table sc ON m.file_name=sc.pfile_sc "
         "LEFT JOIN creator_table cr ON m.file_name=cr.pfile_cr ORDER BY m.machine_name, m.title, m.maker;";
  sqlite3_stmt* statement = nullptr;
  Check(sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &statement, nullptr), db.Handle(), "all items");
  std::string bytes = CsvHeaderLine();
  std::vector<std::string> fields(kCsvFieldCount);
  int lines = 0;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int f = 0; f < kCsvFieldCount; ++f) {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, f));
      const std::string value = text ? text : "";
      std::string shown = CsvFieldText(value);
      if ((f == kCsvAdult || f == kCsvSaleYear) && shown == value) shown = CsvShortDate(value);
      fields[static_cast<size_t>(f)] = std::move(shown);
    }
    bytes += Utf8ToAnsi(CsvLine(fields));
    ++lines;
  }
  sqlite3_finalize(statement);
  OutputFile out;
  out.Create(csv);
  out.Write(bytes.data(), bytes.size());
  out.Close();
  return lines;
}

// The maintenance runs at the whole library: CSV export and import,
// replacement of the key prefix and the removal of 1 % missing images.
void MaintenanceRuns(vel::LibraryConnection& db, Recorder& recorder, const std::string& path, int runs,
                     const Wanted& wanted) {
  using namespace vel;
  std::printf("\n%-44s %8s %12s %12s %7s\n", "maintenance run", "rows", "program ms", "ceiling ms", "ratio");
  auto row = [](const char* name, int rows, double p, double c) {
    std::printf("%-44s %8d %12.1f %12.1f %7.2f\n", name, rows, p, c, c > 0 ? p / c : 0.0);
  };
  StopFlag stop{kRunRunning};
  QuietReport report;
  const std::string csv = path + ".csv", copy = path + ".copy.csv";

  // Export: beside stepping its SELECT and writing the same bytes. The
  // import reads what it wrote, so it runs once even when not timed.
  const char* exportName = "CSV export, every machine";
  std::vector<double> program, ceiling;
  int rows = 0;
  for (int r = 0; r < (wanted(exportName) ? runs : 0); ++r) {
    recorder.statements.clear();
    recorder.on = true;
    auto t0 = Clock::now();
    rows = RunCsvExport(db, {std::nullopt, true, csv}, stop, report).rowsWritten;
    program.push_back(Ms(Clock::now() - t0));
    recorder.on = false;
    std::string bytes;
    {
      std::FILE* in = std::fopen(NativePathOf(csv).c_str(), "rb");
      if (in) {
        char chunk[65536];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;) bytes.append(chunk, n);
        std::fclose(in);
      }
    }
    auto t1 = Clock::now();
    Replay(db.Handle(), recorder.statements);
    OutputFile out;
    out.Create(copy);
    out.Write(bytes.data(), bytes.size());
    out.Close();
    ceiling.push_back(Ms(Clock::now() - t1));
  }
  if (wanted(exportName))
    row(exportName, rows, Median(program), Median(ceiling));
  else
    RunCsvExport(db, {std::nullopt, true, csv}, stop, report);

  // Import of every item (updates only), beside the statements it ran
  // replayed in one transaction. They are recorded in a run of its own before
  // the timed ones (writing out bound values is no cost of the program's); an
  // import of the same file again writes the same values, so every timed run
  // and the replay do the same work.
  TitleConverter converter{DefaultSymbolTables()};
  const char* importName = "CSV import, every item updated";
  if (wanted(importName)) {
    const std::string all = path + ".all.csv";
    WriteAllItemsCsv(db, all);
    program.clear();
    ceiling.clear();
    recorder.statements.clear();
    recorder.on = true;
    RunCsvImport(db, converter, {all, true}, stop, report);
    recorder.on = false;
    for (int r = 0; r < runs; ++r) {
      auto t0 = Clock::now();
      rows = RunCsvImport(db, converter, {all, true}, stop, report).rowsWritten;
      program.push_back(Ms(Clock::now() - t0));
      auto t1 = Clock::now();
      ReplayInOneTransaction(db.Handle(), recorder.statements);
      ceiling.push_back(Ms(Clock::now() - t1));
    }
    row(importName, rows, Median(program), Median(ceiling));
    std::remove(NativePathOf(all).c_str());
  }

  if (wanted("rename data update, one machine")) RenameDataRun(db, recorder, path, runs, converter);

  // The key prefix over all machines, there and back; the ceiling replays
  // the recorded statements on the library as it was before.
  const std::string folder = path + "_images";
  CreateFolder(folder);
  const std::string from = "D:\\images\\", to = folder + "\\";
  const char* replacementName = "key prefix replacement, every machine";
  program.clear();
  ceiling.clear();
  for (int r = 0; r < (wanted(replacementName) ? runs : 0); ++r) {
    recorder.statements.clear();
    recorder.on = true;
    auto t0 = Clock::now();
    rows = RunReplacement(db, {std::nullopt, "", 0, from, to}, report).rowsWritten;
    program.push_back(Ms(Clock::now() - t0));
    recorder.on = false;
    StatementList there = recorder.statements;
    RunReplacement(db, {std::nullopt, "", 0, to, from}, report);
    auto t1 = Clock::now();
    Replay(db.Handle(), there);
    ceiling.push_back(Ms(Clock::now() - t1));
    RunReplacement(db, {std::nullopt, "", 0, to, from}, report);
  }
  if (wanted(replacementName)) row(replacementName, rows, Median(program), Median(ceiling));

  // Removal with 1 % of the images missing, beside checking the same paths.
  const char* removalName = "removal of missing images (1 % missing)";
  if (!wanted(removalName)) {
    std::remove(NativePathOf(csv).c_str());
    std::remove(NativePathOf(copy).c_str());
    return;
  }
  RunReplacement(db, {std::nullopt, "", 0, from, to}, report);
  db.Query("SELECT DISTINCT machine_name FROM main_table;");
  std::vector<std::string> machines;
  for (int r = 1; r <= db.RowCount(); ++r) machines.push_back(db.Cell(r, 0));
  for (const std::string& machine : machines) CreateFolder(folder + "\\" + machine);
  db.Query("SELECT file_name FROM main_table;");
  std::vector<std::string> keys;
  for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, 0));
  for (size_t i = 0; i < keys.size(); ++i)
    if (i % 100 != 50) {
      OutputFile image;
      image.Create(keys[i]);
      image.Close();
    }
  auto t0 = Clock::now();
  int present = 0;
  for (const std::string& key : keys) present += ProbePath(ImagePathOfKey(key)) == PathPresence::kPresent;
  double bare = Ms(Clock::now() - t0);
  LockWatch watch;
  sqlite3_trace_v2(db.Handle(), SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, WatchLock, &watch);
  t0 = Clock::now();
  rows = RunRemoveMissingImages(db, std::nullopt, ProbePath, stop, report).rowsWritten;
  double removal = Ms(Clock::now() - t0);
  sqlite3_trace_v2(db.Handle(), 0, nullptr, nullptr);
  row(removalName, rows, removal, bare);
  std::printf("  %d present of %zu; write lock held %.1f ms\n", present, keys.size(), Ms(watch.committed - watch.begun));
  for (const std::string& key : keys) RemoveFile(key);
  std::remove(NativePathOf(csv).c_str());
  std::remove(NativePathOf(copy).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  int items = 100000, runs = 5;
  std::string path = "library_bench.db";
  std::string migemoPatterns;
  Wanted wanted;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--write-migemo-patterns")) return WriteRealMigemoPatterns(argv[i + 1]) ? 0 : 1;
    if (!std::strcmp(argv[i], "--migemo-patterns")) migemoPatterns = argv[i + 1];
    else if (!std::strcmp(argv[i], "--items")) items = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
    else if (!std::strcmp(argv[i], "--db")) path = argv[i + 1];
    else if (!std::strcmp(argv[i], "--only")) wanted.only = argv[i + 1];
  }
  if (items <= 0) {
    std::fprintf(stderr, "usage: library_bench [--items N] [--runs R] [--db PATH] [--only TEXT] [--migemo-patterns FILE]\n");
    return 2;
  }
  std::remove(path.c_str());

  vel::LibraryConnection db;
  db.Open(path, "");
  if (auto error = vel::CreateOrUpgradeSchema(db); error || (error = vel::CreateItemView(db))) {
    std::fprintf(stderr, "schema: %s\n", error->c_str());
    return 1;
  }
  auto started = Clock::now();
  GenerateLibrary(db.Handle(), {items});
  std::printf("generated %d items in %.0f ms (%s)\n", items, Ms(Clock::now() - started), path.c_str());
  // Opened again, as the program opens a library that exists (with the
  // regular-expression extension when Migemo patterns are searched for).
  StoredMigemo migemo;
  if (!migemoPatterns.empty() && !migemo.Read(migemoPatterns))
    std::fprintf(stderr, "the Migemo patterns %s cannot be read: no Migemo rows\n", migemoPatterns.c_str());
  db.Open(path, migemo.IsEnabled() ? VEL_BENCH_EXTENSION : "");

  Recorder recorder;
  RecordStatements(db.Handle(), recorder);
  vel::SearchEnvironment env;
  env.db = &db;
  vel::ListQueryState state;
  auto search = [&](const char* text, int target) {
    return [&env, &state, text, target] {
      return vel::SearchItems(env, state, text, target, vel::kMatchContains, false).rows;
    };
  };
  vel::SearchEnvironment migemoEnv = env;
  migemoEnv.regexEngine = vel::kRegexFunction;
  migemoEnv.migemo = &migemo;

  // The list operations run on the whole library; the initial index and the
  // group values use the group-list connection, as the program does.
  vel::LibraryConnection groups;
  groups.Open(path, "");
  RecordStatements(groups.Handle(), recorder);
  auto wholeLibrary = [&db] {
    db.Query("DROP VIEW IF EXISTS list_view; CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );");
  };
  const vel::ColumnDisplay shown{};
  // A click on the maker header of the whole library as the window has it
  // after a search: the rows already read are sorted again (each run turns
  // the direction round). The second form reads the view again, as a sort
  // whose rows are not in memory does.
  vel::ListQueryState sorted;
  auto loadWholeLibrary = [&] {
    if (sorted.loaded.result == db.ResultSerial() && sorted.loaded.result != 0) return;
    wholeLibrary();
    vel::LoadItemList(db, sorted, true);
  };
  auto headerSort = [&] {
    vel::ApplySortRequest(sorted.sort, vel::kSortMaker, vel::kSortToggle, false, shown);
    vel::LoadItemList(db, sorted, true);
    return db.RowCount();
  };
  auto headerSortReadAgain = [&] {
    vel::ListQueryState s;
    vel::ApplySortRequest(s.sort, vel::kSortMaker, vel::kSortToggle, false, shown);
    vel::LoadItemList(db, s, true);
    return db.RowCount();
  };
  auto groupSwitch = [&] {
    vel::ListQueryState s;
    s.groupCondition = vel::GroupCondition(vel::kGroupGenre, 1, "RPG");
    vel::LoadItemList(db, s, true);
    return db.RowCount();
  };
  auto creatorGroups = [&] {
    std::vector<std::string> values;
    vel::ReadGroupValues(groups, vel::kGroupCreator, values);
    return static_cast<int>(values.size());
  };
  vel::ListQueryState byTitle;
  vel::ApplySortRequest(byTitle.sort, vel::kSortTitle, vel::kSortAscending, false, shown);
  vel::InitialIndex index;
  auto initialIndex = [&] {
    vel::BuildInitialIndex(groups, byTitle.sort, false, 1, index);
    return static_cast<int>(index.keys.size());
  };

  // The record editor on the parent of a set: opened, checked and saved
  // unchanged, on a connection of its own as the editor has.
  std::string editedKey;
  if (!db.Query("SELECT ply_file_name FROM main_table WHERE ply>1 LIMIT 1;") && db.RowCount() > 0)
    editedKey = db.Cell(1, 0);
  vel::LibraryConnection editorDb;
  editorDb.Open(path, "");
  RecordStatements(editorDb.Handle(), recorder);
  auto recordEditor = [&editorDb, &editedKey] {
    vel::LoadedRecord loaded = vel::LoadRecord(editorDb, editedKey);
    if (loaded.failure) return 0;
    vel::RecordCheck check = vel::CheckRecord(loaded.fields, loaded);
    if (!check.record) return 0;
    return vel::SaveRecord(editorDb, editedKey, loaded, *check.record).saved ? 1 : 0;
  };

  // The operations, by name. Texts are CP932, as the program has them.
  std::vector<Operation> operations = {
      {"record editor: open and save one item", recordEditor},
      {"fuzzy search \"dragon\"", search("dragon", vel::kTargetFuzzy)},
      {"word search AND->OR \"dragon nowhere\"", search("dragon nowhere", vel::kTargetFuzzy)},
      {"title search \"quest\"", search("quest", vel::kTargetTitle)},
      {"header sort (maker), whole library", headerSort, loadWholeLibrary},
      {"header sort, the view read again", headerSortReadAgain, wholeLibrary},
      {"group switch (genre RPG)", groupSwitch},
      {"creator group list", creatorGroups},
      {"initial index (title)", initialIndex},
  };
  if (migemo.IsEnabled())
    for (const std::string& text : MigemoBenchTexts()) {
      const size_t bytes = migemo.PatternBytes(vel::PrepareMigemoQuery(text));
      operations.push_back({"Migemo fuzzy search \"" + text + "\" (" + std::to_string(bytes) + " B)",
                            [&migemoEnv, &state, text] {
                              return vel::SearchItems(migemoEnv, state, text, vel::kTargetFuzzy, vel::kMatchContains,
                                                      false)
                                  .rows;
                            }});
    }

  // The floor: one pass of a plain in-memory substring scan over the text a
  // fuzzy search looks through, for every item. No search can beat it.
  std::vector<std::string> haystacks;
  if (wanted.only.empty() && !db.Query("SELECT file_name||ifnull(title,'')||ifnull(kana,'')||ifnull(machine_name,'')||ifnull(maker,'')"
                "||ifnull(developer,'')||ifnull(tag,'')||ifnull(version,'')||ifnull(creator,'') FROM all_item_view;"))
    for (int r = 1; r <= db.RowCount(); ++r) haystacks.emplace_back(db.CellUtf8(r, 0));
  auto floorScan = [&haystacks] {
    const std::string needle = "dragon";
    auto same = [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    int found = 0;
    for (const std::string& text : haystacks)
      found += std::search(text.begin(), text.end(), needle.begin(), needle.end(), same) != text.end();
    return found;
  };
  std::vector<double> floors;
  int floorRows = 0;
  for (int r = 0; r < (wanted.only.empty() ? runs : 0); ++r) {
    auto t0 = Clock::now();
    floorRows = floorScan();
    floors.push_back(Ms(Clock::now() - t0));
  }
  double floorMs = Median(floors);
  std::printf("floor: substring scan of %zu items' searched text, %d found, %.1f ms\n", haystacks.size(), floorRows,
              floorMs);

  std::printf("\n%-44s %8s %12s %12s %7s %8s\n", "operation", "rows", "program ms", "ceiling ms", "ratio",
              "x floor");
  for (const Operation& op : operations) {
    if (!wanted(op.name)) continue;
    std::vector<double> program, ceiling;
    int rows = 0;
    for (int r = 0; r < runs; ++r) {
      if (op.prepare) op.prepare();
      recorder.statements.clear();
      recorder.on = true;
      auto t0 = Clock::now();
      rows = op.run();
      program.push_back(Ms(Clock::now() - t0));
      recorder.on = false;
      auto t1 = Clock::now();
      Replay(db.Handle(), recorder.statements);
      ceiling.push_back(Ms(Clock::now() - t1));
    }
    double p = Median(program), c = Median(ceiling);
    std::printf("%-44s %8d %12.1f %12.1f %7.2f %8.1f\n", op.name.c_str(), rows, p, c, c > 0 ? p / c : 0.0,
                floorMs > 0 ? p / floorMs : 0.0);
  }
  if (!wanted.only.empty()) {
    editorDb.Close();
    MaintenanceRuns(db, recorder, path, runs, wanted);
    groups.Close();
    db.Close();
    return 0;
  }
  // The order sorted in memory against the statement's, row by row.
  {
    wholeLibrary();
    vel::ListQueryState inMemory;
    vel::LoadItemList(db, inMemory, true);
    int differing = 0, checked = 0;
    for (int column : {vel::kSortMaker, vel::kSortMachineGenre, vel::kSortMachineGenre, vel::kSortRating,
                       vel::kSortTitle}) {
      vel::ApplySortRequest(inMemory.sort, column, vel::kSortToggle, false, shown);
      const std::uint64_t serial = db.ResultSerial();
      vel::LoadItemList(db, inMemory, true);
      bool wasInMemory = db.ResultSerial() == serial;
      groups.Query(vel::ListStatement(inMemory, true));
      for (int r = 1; r <= db.RowCount() && r <= groups.RowCount(); ++r) differing += db.CellUtf8(r, 0) != groups.CellUtf8(r, 0);
      differing += db.RowCount() != groups.RowCount();
      ++checked;
      if (!wasInMemory) std::printf("sort by %s: read again\n", vel::OrderByList(inMemory.sort).substr(0, 40).c_str());
    }
    std::printf("\nin-memory sorts checked against the statement: %d orders, %d rows differ\n", checked, differing);
  }

  // Page Down through the whole list by title, one jump per initial key.
  wholeLibrary();
  vel::LoadItemList(db, byTitle, true);
  vel::BuildInitialIndex(groups, byTitle.sort, false, 1, index);
  int jumps = 0;
  auto t0 = Clock::now();
  for (int row = 1; (row = vel::SeekInitial(index, byTitle.sort, db, row, true)) != 0;) ++jumps;
  double seek = Ms(Clock::now() - t0);
  std::printf("\nPage Down through the list: %d jumps in %.1f ms (%.3f ms each)\n", jumps, seek,
              jumps ? seek / jumps : 0.0);

  // Memory of the loaded list against its UTF-8 text.
  vel::ListQueryState whole;
  vel::LoadItemList(db, whole, true);
  size_t text = 0;
  for (int r = 1; r <= db.RowCount(); ++r)
    for (int c = 0; c < db.ColumnCount(); ++c) text += db.CellUtf8(r, c).size();
  std::printf("list result: %d rows x %d columns, UTF-8 text %.1f MB, held %.1f MB, ratio %.2f\n", db.RowCount(),
              db.ColumnCount(), text / 1e6, db.ResultBytes() / 1e6,
              text ? static_cast<double>(db.ResultBytes()) / static_cast<double>(text) : 0.0);
  if (std::int64_t peak = vel::PeakResidentBytes(); peak > 0)
    std::printf("process peak memory %.1f MB\n", static_cast<double>(peak) / 1e6);
  editorDb.Close();
  MaintenanceRuns(db, recorder, path, runs, wanted);
  groups.Close();
  db.Close();
  return 0;
}
