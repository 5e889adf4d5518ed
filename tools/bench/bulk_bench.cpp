// The bulk benchmark: the changes made to a whole selection at once, the
// default media of a large machine, the record editor and the value lists of
// the bulk-change dialogs, timed on a generated library. Each change is set
// beside the ceiling: the statements it ran, recorded while it ran, replayed
// with prepare/step only on the same library as it was before. Every timing
// starts from a fresh copy of the generated library.
//
//   bulk_bench [--items N] [--runs R] [--db PATH] [--only TEXT]
//
// --only times only the operations whose name holds TEXT.
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
#include "editing/bulk_assignment.h"
#include "editing/bulk_text_change.h"
#include "editing/master_tables.h"
#include "editing/record_editor.h"
#include "library_fixture.h"
#include "scratch_library.h"
#include "target_table.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/system.h"
#include "search/field_completion.h"

namespace {

using namespace vel;
using namespace vel::bench;

// The machine the default-media update runs on, given this many items.
constexpr const char* kLargeMachine = "PC-9801";
constexpr int kLargeMachineItems = 50000;

// One machine with many items for the default media; media and ratings to assign.
void PrepareBulkLibrary(sqlite3* db, int items) {
  Exec(db, "UPDATE main_table SET machine_name='" + std::string(kLargeMachine) + "' WHERE rowid <= " +
               std::to_string(std::min(items, kLargeMachineItems)) + ";");
  Exec(db, "UPDATE machine_info_table SET default_media='2D' WHERE machine='" + std::string(kLargeMachine) + "';");
  Exec(db, "INSERT OR IGNORE INTO media_info_table(media_num,media) VALUES(1,'2D'),(2,'2HD');");
  Exec(db, "INSERT OR IGNORE INTO adultex_info_table(adultex_num,adultex) VALUES(1,'全年齢'),(2,'R-18');");
}

std::vector<std::string> AllKeys(const std::string& path) {
  LibraryConnection db;
  db.Open(path, "");
  std::vector<std::string> keys;
  if (!db.Query("SELECT file_name FROM main_table ORDER BY rowid;"))
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, 0));
  return keys;
}

}  // namespace

int main(int argc, char** argv) {
  int items = 100000, runs = 3;
  std::string only;
  std::string path = "bulk_bench.db";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--items")) items = std::atoi(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
    else if (!std::strcmp(argv[i], "--db")) path = argv[i + 1];
    else if (!std::strcmp(argv[i], "--only")) only = argv[i + 1];
  }
  if (items <= 0) {
    std::fprintf(stderr, "usage: bulk_bench [--items N] [--runs R] [--db PATH] [--only TEXT]\n");
    return 2;
  }
  ScratchLibrary bench(path, runs);
  if (!bench.Generate({items, true}, [items](sqlite3* db) { PrepareBulkLibrary(db, items); })) return 1;
  const std::vector<std::string> keys = AllKeys(bench.Path());

  PrintTargetHeader();
  auto wanted = [&only](const std::string& name) { return only.empty() || name.find(only) != std::string::npos; };
  auto timed = [&](const std::string& name, double target, const std::function<int(LibraryConnection&)>& run) {
    if (wanted(name)) PrintTargetRow(bench.Change(name, target, run));
  };
  // The selection is every item of the library.
  auto assign = [&](AssignField field, const std::string& value) {
    return [&keys, field, value](LibraryConnection& db) {
      return AssignToItems(db, field, keys, value) ? -1 : static_cast<int>(keys.size());
    };
  };
  timed("assign machine, whole selection", 1.5, assign(AssignField::Machine, "X68000"));
  timed("assign media, whole selection", 1.5, assign(AssignField::Media, "2HD"));
  timed("assign genre, whole selection", 1.5, assign(AssignField::Genre, "RPG"));
  timed("assign rating, whole selection", 1.5, assign(AssignField::Adultex, "R-18"));
  timed("remove from library, whole selection", 1.5, [&keys](LibraryConnection& db) {
    return RemoveItems(db, keys) ? -1 : static_cast<int>(keys.size());
  });
  timed("launch information reset, whole selection", 1.5, [&keys](LibraryConnection& db) {
    return ResetLaunchInfo(db, keys) ? -1 : static_cast<int>(keys.size());
  });

  // The machine saved with a new default media, the question answered Yes.
  SetMessageAnswerer([](const MessageRequest&) { return kIdYes; });
  const int machineItems = std::min(items, kLargeMachineItems);
  timed("default media of a 50,000-item machine", 1.5, [machineItems](LibraryConnection& db) {
    MasterRecord record;
    if (LoadMasterRecord(db, MasterKind::Machine, kLargeMachine, record)) return -1;
    record.defaultMedia = "2HD";
    if (!SaveMasterRecord(db, MasterKind::Machine, std::string(kLargeMachine), record, CurrentDirectory(), nullptr))
      return -1;
    return machineItems;
  });
  SetMessageAnswerer({});

  // The record editor on the parent of a set: loaded, checked and saved.
  std::string editedKey;
  bench.Restore();
  {
    LibraryConnection db;
    db.Open(bench.Path(), "");
    if (!db.Query("SELECT ply_file_name FROM main_table WHERE ply>1 LIMIT 1;") && db.RowCount() > 0)
      editedKey = db.Cell(1, 0);
  }
  if (wanted("record editor")) {
    TargetRow editor = bench.Change("record editor: load and save one item", 0, [&editedKey](LibraryConnection& db) {
      LoadedRecord loaded = LoadRecord(db, editedKey);
      if (loaded.failure) return -1;
      RecordCheck check = CheckRecord(loaded.fields, loaded);
      if (!check.record) return -1;
      return SaveRecord(db, editedKey, loaded, *check.record).saved ? 1 : -1;
    });
    editor.absolute = true;
    editor.target = 100;
    PrintTargetRow(editor);
  }

  // The value lists of the bulk-change dialogs: the title list opened with
  // every title there is, and the completion looked up at each keystroke.
  if (wanted("title")) {
    bench.Restore();
    LibraryConnection db;
    db.Open(bench.Path(), "");
    std::vector<double> times;
    std::vector<std::string> values;
    for (int r = 0; r < runs; ++r) {
      values.clear();
      auto t0 = Clock::now();
      if (LoadBulkTextValues(db, BulkTextField::Title, values)) values.clear();
      times.push_back(Ms(Clock::now() - t0));
    }
    TargetRow open{"title value list opened"};
    open.rows = static_cast<int>(values.size());
    open.program = Median(times);
    open.absolute = true;
    open.target = 300;
    PrintTargetRow(open);

    // The completing dialog reads the values as it opens; each keystroke
    // then matches them in memory. Typed one character at a time, in both
    // scripts; every offer is checked against the statement's.
    CompletionValues held;
    times.clear();
    for (int r = 0; r < runs; ++r) {
      auto t0 = Clock::now();
      held.Load(db, "title");
      times.push_back(Ms(Clock::now() - t0));
    }
    TargetRow load{"title completion values read (dialog opened)"};
    load.program = Median(times);
    load.absolute = true;
    load.target = 300;
    PrintTargetRow(load);
    const std::string typings[] = {"Dragon Quest", Jp("星空の冒険"), "legend", "Zz"};
    times.clear();
    std::vector<double> statementTimes;
    int differing = 0;
    for (int r = 0; r < runs; ++r)
      for (const std::string& typed : typings) {
        size_t previous = 0;
        for (size_t length = 1; length <= typed.size(); ++length) {
          const std::string text = typed.substr(0, length);
          if (WithWholeCharacters(text) != text) continue;  // half a double-byte character
          if (NextCompletionStep(previous, text) != CompletionStep::LookUp) break;
          previous = text.size();
          auto t0 = Clock::now();
          std::vector<std::string> offered = held.Matching(text);
          times.push_back(Ms(Clock::now() - t0));
          CompletionRequest request;
          request.column = "title";
          request.text = text;
          std::vector<std::string> found;
          t0 = Clock::now();
          LookUpCompletions(db, request, found);
          statementTimes.push_back(Ms(Clock::now() - t0));
          differing += offered != found;
        }
      }
    TargetRow keystroke{"title completion, per keystroke (slowest)"};
    keystroke.rows = static_cast<int>(times.size());
    keystroke.program = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
    keystroke.absolute = true;
    keystroke.target = 30;
    PrintTargetRow(keystroke);
    TargetRow median{"title completion, per keystroke (median)"};
    median.rows = keystroke.rows;
    median.program = Median(times);
    median.absolute = true;
    median.target = 30;
    PrintTargetRow(median);
    std::printf("  the look-up statement at each keystroke: median %.1f ms, slowest %.1f ms; offers differing: %d\n",
                Median(statementTimes),
                statementTimes.empty() ? 0.0 : *std::max_element(statementTimes.begin(), statementTimes.end()),
                differing);
  }
  bench.RemoveFiles();
  return 0;
}
