#include "maintenance/column_replace.h"

#include <sqlite3.h>

#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/image_sets.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

// The tables that refer to an item by its key, with their key columns.
struct Reference {
  const char* table;
  const char* column;
};
constexpr Reference kReferences[] = {
    {"spec_table", "pfile_sc"},       {"use_emuset_table", "pfile_ue"},
    {"alter_ego_table", "pfile_ae"},  {"snap_path_table", "pfile_sp"},
    {"associate_file_table", "pfile_as"}, {"memo_table", "pfile_mm"},
    {"creator_table", "pfile_cr"},    {"favorite_table", "pfile_fv"},
    // Links to a parent's key: a set's children and an alter ego's set.
    {"main_table", "ply_file_name"},  {"alter_ego_table", "ply_pfile_ae"},
};

// The rows that hold the old text. instr compares bytes of the stored
// UTF-8 text, so "%", "_" and every other character are taken literally
// and the match is case-sensitive, exactly like REPLACE.
std::string MatchCondition(const char* column, const ReplaceRequest& request) {
  std::string condition = std::string("instr(") + column + ",'" + Quote(request.oldText) + "')>0";
  if (request.machine) condition = "machine_name='" + Quote(*request.machine) + "' AND " + condition;
  return condition;
}

std::string ReplaceExpression(const char* column, const ReplaceRequest& request) {
  return std::string("REPLACE(") + column + ",'" + Quote(request.oldText) + "','" + Quote(request.newText) + "')";
}

RunMessage DatabaseError(const char* text, const std::string& error) {
  return RunMessage{Jp(text) + Utf8ToAnsi(error), Jp("DBエラー"), kMbOk | kMbIconError};
}

// Ends a replacement that changed nothing. The rollback brings a dropped
// trigger back; should the database have ended the transaction itself, the
// trigger is made again here, so that it is never left missing.
RunResult NotReplaced(LibraryConnection& db, RunMessage message, RunReport& report) {
  if (!sqlite3_get_autocommit(db.Handle())) db.Query("ROLLBACK;");
  report.Log(Jp("置換に失敗しました。"));
  RunResult result;
  result.end = RunEnd::WriteFailed;
  result.message = std::move(message);
  if (!db.Query("SELECT count(*) FROM sqlite_master WHERE type='trigger' AND name='update_main_pkey';") &&
      db.Cell(1, 0) == "0")
    if (auto error = db.Query(MainKeyTriggerSql()))
      result.message->text += "\n" + Jp("トリガ作成失敗\n") + Utf8ToAnsi(*error);
  return result;
}

struct KeyMove {
  std::string from, to;
};

// Inside the open transaction: moves the keys and every reference to them.
// The trigger that would move the references again is dropped meanwhile and
// made again from the schema's own statement before the commit.
std::optional<RunMessage> MoveKeys(LibraryConnection& db, const ReplaceRequest& request, int& moved) {
  const char* failure = "プライマリキーの置換が失敗しました。\n置換されませんでした。\n";
  std::string condition = MatchCondition("file_name", request);
  if (auto error = db.Query("SELECT file_name," + ReplaceExpression("file_name", request) +
                            " FROM main_table WHERE " + condition + ";"))
    return DatabaseError(failure, *error);
  std::vector<KeyMove> moves;
  for (int row = 1; row <= db.RowCount(); ++row) moves.push_back({db.Cell(row, 0), db.Cell(row, 1)});
  for (const KeyMove& move : moves) {
    if (move.to.empty() || move.to.size() > kKeyByteLimit)
      return RunMessage{Jp(move.to.empty() ? "プライマリキーが空になります。\n置換されませんでした。\n--> "
                                           : "プライマリキーが長すぎます。\n置換されませんでした。\n--> ") +
                            move.from,
                        Jp("中止"), kMbOk | kMbIconWarning};
  }
  moved = static_cast<int>(moves.size());
  if (moves.empty()) return std::nullopt;
  std::string sql =
      "DROP TABLE IF EXISTS temp.key_moves;"
      "CREATE TEMP TABLE key_moves(old_key TEXT PRIMARY KEY, new_key TEXT);"
      "INSERT INTO temp.key_moves SELECT file_name," + ReplaceExpression("file_name", request) +
      " FROM main_table WHERE " + condition + ";"
      "DROP TRIGGER IF EXISTS update_main_pkey;"
      "UPDATE main_table SET file_name=" + ReplaceExpression("file_name", request) + " WHERE " + condition + ";";
  for (const Reference& ref : kReferences)
    sql += std::string("UPDATE ") + ref.table + " SET " + ref.column +
           "=(SELECT new_key FROM temp.key_moves WHERE old_key=" + ref.column + ") WHERE " + ref.column +
           " IN (SELECT old_key FROM temp.key_moves);";
  if (auto error = db.Query(sql)) {
    // A new key that is already there fails the key's uniqueness.
    return DatabaseError(failure, *error);
  }
  // A change inside the file name changes the name columns.
  std::string names;
  for (const KeyMove& move : moves) {
    KeyParts before = SplitItemKey(move.from), after = SplitItemKey(move.to);
    if (before.memberTitle == after.memberTitle && before.memberExt == after.memberExt &&
        before.fileTitle == after.fileTitle && before.fileExt == after.fileExt)
      continue;
    names += "UPDATE main_table SET file_arc_title='" + Quote(after.memberTitle) + "',file_arc_ext='" +
             Quote(after.memberExt) + "',file_title='" + Quote(after.fileTitle) + "',file_ext='" +
             Quote(after.fileExt) + "' WHERE file_name='" + Quote(move.to) + "';";
  }
  if (!names.empty())
    if (auto error = db.Query(names)) return DatabaseError(failure, *error);
  if (auto error = db.Query(MainKeyTriggerSql())) return DatabaseError("トリガ作成失敗\n", *error);
  if (auto error = db.Query("DROP TABLE temp.key_moves;")) return DatabaseError(failure, *error);
  if (auto error = RebuildMaxDiskTable(db)) return DatabaseError(failure, *error);
  return std::nullopt;
}

}  // namespace

std::optional<RunMessage> RefuseReplacement(const ReplaceRequest& request, bool emulatorRunning) {
  if (request.target < 0 || request.target >= kReplaceTargetCount) return RunMessage{};
  if (request.oldText.empty())
    return RunMessage{Jp("置換前の文字列を指定してください。"), Jp("中止"), kMbOk | kMbIconInformation};
  if (request.oldText == request.newText)
    return RunMessage{Jp("置換前と置換後の文字列が同じです。\n中止します。"), "", kMbOk | kMbIconInformation};
  // A running emulator's boot count and play time are written by key at its end.
  if (request.target == 0 && emulatorRunning)
    return RunMessage{Jp("エミュレータの実行中はプライマリキーを置換できません。\nエミュレータを終了してから実行してください。"),
                      Jp("中止"), kMbOk | kMbIconWarning};
  return std::nullopt;
}

std::string ReplacementSummary(const ReplaceRequest& request) {
  return request.machineText + Jp(" ： ") + Jp(kReplaceTargets[request.target].label);
}

std::string ReplacementQuestion() { return Jp("置換は一括実行され途中で中止できません。\n実行しますか？"); }

RunResult RunReplacementTest(LibraryConnection& db, const ReplaceRequest& request, StopFlag& stop,
                             RunReport& report) {
  RunResult result;
  const char* column = kReplaceTargets[request.target].column;
  report.Log(Jp("---置換結果のシミュレーション---"));
  if (auto error = db.Query(std::string("SELECT DISTINCT ") + column + "," + ReplaceExpression(column, request) +
                            " FROM main_table WHERE " + MatchCondition(column, request) + ";")) {
    report.Log(Jp("失敗しました。"));
    result.end = RunEnd::SelectFailed;
    result.message = DatabaseError("カラム値の置換テストを失敗しました。\n", *error);
    return result;
  }
  const int total = db.RowCount();
  report.StartProgress(total);
  int listed = 0;
  for (int row = 1; row <= total; ++row) {
    if (stop.load() == kRunStopRequested) {
      result.end = RunEnd::Stopped;
      break;
    }
    report.Log(db.Cell(row, 0) + " -> " + db.Cell(row, 1));
    report.StepProgress();
    ++listed;
  }
  report.Log(result.end == RunEnd::Stopped ? Jp("ユーザーからの要求でリストアップを中断しました")
                                           : std::to_string(listed) + Jp(" パターンのマッチがありました。"));
  return result;
}

RunResult RunReplacement(LibraryConnection& db, const ReplaceRequest& request, RunReport& report,
                         int commitWaitMs) {
  report.Log(Jp("置換処理中です。しばらくお待ち下さい・・・。"));
  const bool keys = request.target == 0;
  const char* failure = keys ? "プライマリキーの置換が失敗しました。\n置換されませんでした。\n"
                             : "カラム値の置換が失敗しました。\n置換されませんでした。\n";
  if (keys && request.machine) {
    if (auto error = db.Query("SELECT count(*) FROM main_table WHERE machine_name='" + Quote(*request.machine) + "';"))
      return NotReplaced(db, DatabaseError("その機種のプライマリキー取得に失敗しました。\n置換されませんでした。\n", *error),
                         report);
    if (db.Cell(1, 0) == "0")
      return NotReplaced(db, RunMessage{Jp("その機種に登録がありません。\n置換されませんでした。"), "",
                                        kMbOk | kMbIconInformation},
                         report);
  }
  if (auto error = db.Query("BEGIN IMMEDIATE;")) return NotReplaced(db, DatabaseError(failure, *error), report);
  int changed = 0;
  if (keys) {
    if (auto refusal = MoveKeys(db, request, changed)) return NotReplaced(db, *refusal, report);
  } else {
    const char* column = kReplaceTargets[request.target].column;
    if (auto error = db.Query(std::string("UPDATE main_table SET ") + column + "=" +
                              ReplaceExpression(column, request) + " WHERE " + MatchCondition(column, request) + ";"))
      return NotReplaced(db, DatabaseError(failure, *error), report);
    changed = sqlite3_changes(db.Handle());
  }
  // The database may have ended the transaction itself: then nothing is kept.
  if (sqlite3_get_autocommit(db.Handle()))
    return NotReplaced(db, DatabaseError(failure, "transaction ended by the database"), report);
  if (auto error = CommitWithRetry(db, commitWaitMs)) return NotReplaced(db, DatabaseError(failure, *error), report);
  report.Log(Jp("置換を実行しました。"));
  RunResult result;
  result.rowsWritten = changed;
  result.libraryChanged = changed > 0;
  return result;
}

}  // namespace vel
