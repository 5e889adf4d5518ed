#include "maintenance/missing_images.h"

#include <sqlite3.h>

#include <unordered_map>
#include <utility>
#include <vector>

#include "db/library_connection.h"
#include "db/prepared_statement.h"
#include "maintenance/image_sets.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

std::string MachineCondition(const std::optional<std::string>& machine) {
  return machine ? "WHERE machine_name='" + Quote(*machine) + "' " : std::string();
}

// Children whose parent is no longer in the library.
const char* const kOrphanCondition =
    " ply_file_name<>'' AND ply_file_name<>file_name AND "
    "ply_file_name NOT IN (SELECT file_name FROM main_table)";

// Inside the open transaction: the orphaned children become standalone
// items and the highest disk numbers follow.
std::optional<std::string> SettleSets(LibraryConnection& db, RunReport& report) {
  if (auto error = db.Query(std::string("SELECT file_name FROM main_table WHERE") + kOrphanCondition + ";"))
    return error;
  std::vector<std::string> orphans;
  for (int row = 1; row <= db.RowCount(); ++row) orphans.push_back(db.Cell(row, 0));
  if (!orphans.empty()) {
    if (auto error = db.Query(std::string("UPDATE main_table SET ply=0,ply_file_name='' WHERE") +
                              kOrphanCondition + ";"))
      return error;
    for (const std::string& key : orphans) report.Log(Jp("単独のアイテムにしました：") + key);
  }
  return RebuildMaxDiskTable(db);
}

// Nothing of the open transaction is kept.
RunResult WriteFailed(LibraryConnection& db, std::string error, RunReport& report) {
  if (!sqlite3_get_autocommit(db.Handle())) db.Query("ROLLBACK;");
  report.Log(Jp("ライブラリに書き込めないため処理を中止しました -> [ERROR] ") + Utf8ToAnsi(error));
  RunResult result;
  result.end = RunEnd::WriteFailed;
  result.error = std::move(error);
  return result;
}

// The folder holding the path: up to its last backslash or slash (a drive
// root keeps its backslash); "" without one. Two-byte characters are
// stepped over whole (a trail byte can be 0x5C).
std::string FolderOfPath(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size(); i += CharacterLength(path, i))
    if (path[i] == '\\' || path[i] == '/') last = i;
  if (last == std::string::npos) return {};
  if (last > 0 && path[last - 1] == ':') return path.substr(0, last + 1);
  return path.substr(0, last);
}

}  // namespace

std::string ImagePathOfKey(const std::string& key) {
  // "*" is never a trail byte, so a byte search is safe in CP932.
  return key.substr(0, key.find('*'));
}

std::string RemoveAllQuestion(const std::string& machineText) {
  return machineText + Jp(" の 全アイテム をライブラリから削除します。\nよろしいですか？");
}

RunResult RunRemoveMissingImages(LibraryConnection& db, const std::optional<std::string>& machine,
                                 const PresenceProbe& probe, StopFlag& stop, RunReport& report,
                                 int commitWaitMs, const FolderStamp& folderStamp) {
  auto stampOf = [&](const std::string& folder) { return folderStamp ? folderStamp(folder) : LastWriteStamp(folder); };
  RunResult result;
  if (auto error = db.Query("SELECT file_name FROM main_table " + MachineCondition(machine) + ";")) {
    result.end = RunEnd::SelectFailed;
    result.error = *error;
    return result;
  }
  const int total = db.RowCount();
  if (total == 0) {
    result.end = RunEnd::NoRows;
    result.message = RunMessage{Jp("指定された機種のデータはありません。"), "", kMbOk | kMbIconInformation};
    return result;
  }
  std::vector<std::string> keys;
  keys.reserve(static_cast<size_t>(total));
  for (int row = 1; row <= total; ++row) keys.push_back(db.Cell(row, 0));

  report.StartProgress(total);
  report.Log(Jp("処理を開始します"));
  // The members of one archive are checked once.
  std::unordered_map<std::string, PathPresence> checked;
  // Each folder's stamp, taken before the first of its paths is checked.
  std::unordered_map<std::string, std::int64_t> stamps;
  std::vector<std::pair<std::string, std::string>> missing;  // key, tested path
  bool stopped = false;
  for (const std::string& key : keys) {
    report.StepProgress();
    std::string path = ImagePathOfKey(key);
    auto found = checked.find(path);
    if (found == checked.end()) {
      std::string folder = FolderOfPath(path);
      if (!stamps.count(folder)) stamps.emplace(folder, stampOf(folder));
      found = checked.emplace(path, probe(path)).first;
      if (found->second == PathPresence::kUnknown) report.Log(Jp("確認できません：") + path);
    }
    if (found->second == PathPresence::kMissing) missing.emplace_back(key, path);
    if (stop.load() == kRunStopRequested) {
      stopped = true;
      break;
    }
  }

  if (!missing.empty()) {
    if (auto error = db.Query("BEGIN IMMEDIATE;")) return WriteFailed(db, *error, report);
    // Parsed once; each missing row binds its key.
    PreparedStatement remove;
    std::optional<std::string> unprepared = remove.Prepare(db, "DELETE FROM main_table WHERE file_name=?1;");
    // A file may have come back since it was checked. Its folder then has a
    // new stamp: the missing paths of such a folder (or of one whose stamp
    // cannot be read) are checked once more under the lock, and only what is
    // still missing goes.
    std::unordered_map<std::string, bool> changed;  // folder
    std::unordered_map<std::string, PathPresence> rechecked;
    int deleted = 0;
    for (const auto& [key, path] : missing) {
      auto again = rechecked.find(path);
      if (again == rechecked.end()) {
        const std::string folder = FolderOfPath(path);
        auto folderChanged = changed.find(folder);
        if (folderChanged == changed.end()) {
          const std::int64_t before = stamps[folder];
          folderChanged = changed.emplace(folder, before == 0 || stampOf(folder) != before).first;
        }
        again = rechecked.emplace(path, folderChanged->second ? probe(path) : PathPresence::kMissing).first;
        if (again->second == PathPresence::kUnknown) report.Log(Jp("確認できません：") + path);
      }
      if (again->second != PathPresence::kMissing) continue;
      std::optional<std::string> error = unprepared;
      if (!error) {
        error = remove.BindText(1, key) ? remove.Run() : std::optional<std::string>("a value could not be bound");
        remove.Reset();
      }
      if (error) {
        if (sqlite3_get_autocommit(db.Handle())) return WriteFailed(db, *error, report);
        report.Log(Jp("失敗：") + path);
        ++result.rowsFailed;
        continue;
      }
      report.Log(Jp("削除：") + path);
      ++deleted;
    }
    remove.Finalize();
    if (auto error = SettleSets(db, report)) return WriteFailed(db, *error, report);
    if (auto error = CommitWithRetry(db, commitWaitMs)) {
      RunResult failed = WriteFailed(db, *error, report);
      failed.rowsUnsaved = deleted;
      return failed;
    }
    result.rowsWritten = deleted;
    result.libraryChanged = deleted > 0;
  }
  result.end = stopped ? RunEnd::Stopped : RunEnd::Finished;
  report.Log(stopped ? Jp("ユーザーからの要求で処理を中止しました") : Jp("処理を終了しました"));
  return result;
}

RunResult RunRemoveAllImages(LibraryConnection& db, const std::optional<std::string>& machine,
                             const std::string& machineText, RunReport& report, int commitWaitMs) {
  auto failed = [&](const std::string& error) {
    RunResult result = WriteFailed(db, error, report);
    result.message = RunMessage{Jp("メインテーブルから削除できませんでした。\n") + Utf8ToAnsi(error), Jp("DBエラー"),
                                kMbOk | kMbIconError};
    return result;
  };
  if (auto error = db.Query("BEGIN IMMEDIATE;")) return failed(*error);
  if (auto error = db.Query("DELETE FROM main_table " + MachineCondition(machine) + ";")) return failed(*error);
  const int deleted = sqlite3_changes(db.Handle());
  if (auto error = SettleSets(db, report)) return failed(*error);
  if (auto error = CommitWithRetry(db, commitWaitMs)) return failed(*error);
  report.Log(machineText + Jp(" の 全アイテム をライブラリから削除しました"));
  RunResult result;
  result.rowsWritten = deleted;
  result.libraryChanged = true;
  return result;
}

}  // namespace vel
