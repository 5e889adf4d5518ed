#include "maintenance/maintenance_run.h"

#include <sqlite3.h>

#include <functional>
#include <utility>
#include <vector>

#include "db/library_connection.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {
namespace {

struct ColumnRun {
  const char* column;
  std::function<std::string(const std::string& title)> valueOf;
  // The log line of a row; `error` (CP932) is null when the row was written.
  std::function<std::string(const std::string& title, const std::string& value,
                            const std::string* error)> logLine;
  std::string stoppedLine;
};

constexpr int kCommitRetryMs = 50;

std::optional<std::string> CommitBatch(LibraryConnection& db, int waitMs) { return CommitWithRetry(db, waitMs); }

RunResult RunColumn(LibraryConnection& db, const ColumnRun& run, const RowSelection& selection,
                    StopFlag& stop, RunReport& report, int rowsPerCommit, int commitWaitMs) {
  RunResult result;
  if (auto error = db.Query(RowSelectSql(run.column, selection))) {
    result.end = RunEnd::SelectFailed;
    result.error = *error;
    return result;
  }
  const int total = db.RowCount();
  if (total == 0) {
    result.end = RunEnd::NoRows;
    return result;
  }
  // The grid goes with the next statement: keep the rows.
  std::vector<std::pair<std::string, std::string>> rows;
  rows.reserve(static_cast<size_t>(total));
  for (int row = 1; row <= total; ++row) rows.emplace_back(db.Cell(row, 0), db.Cell(row, 1));

  report.Log(Jp("処理を開始します"));
  report.StartProgress(total);
  int inBatch = 0;
  std::vector<size_t> pending;  // rows of the open batch logged as written
  // The open batch was undone: its rows logged as written are not kept after all.
  auto batchLost = [&] {
    for (size_t row : pending) report.Log(rows[row].second + Jp(" -> [ERROR] 保存されませんでした"));
    result.rowsUnsaved += static_cast<int>(pending.size());
    pending.clear();
    inBatch = 0;
  };
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& [fileName, title] = rows[i];
    if (inBatch == 0) {
      // Taking the write lock up front: a locked library fails here, before any change.
      if (auto error = db.Query("BEGIN IMMEDIATE;")) {
        result.end = RunEnd::WriteFailed;
        result.error = *error;
        break;
      }
    }
    ++inBatch;
    report.StepProgress();
    std::string value = run.valueOf(title);
    std::optional<std::string> error =
        db.Query(std::string("UPDATE main_table SET ") + run.column + "='" + Quote(value) +
                 "' WHERE file_name='" + Quote(fileName) + "';");
    if (!error && sqlite3_changes(db.Handle()) == 0) error = AnsiToUtf8(Jp("アイテムが見つかりませんでした"));
    if (error) {
      ++result.rowsFailed;
      std::string shown = Utf8ToAnsi(*error);
      report.Log(run.logLine(title, value, &shown));
      if (sqlite3_get_autocommit(db.Handle())) {
        // The database undid the open batch itself: nothing of it is kept.
        result.end = RunEnd::WriteFailed;
        result.error = *error;
        batchLost();
        break;
      }
    } else {
      pending.push_back(i);
      report.Log(run.logLine(title, value, nullptr));
    }
    bool stopNow = stop.load() == kRunStopRequested;
    if (inBatch == rowsPerCommit || stopNow || i + 1 == rows.size()) {
      if (auto commitError = CommitBatch(db, commitWaitMs)) {
        db.Query("ROLLBACK;");
        result.end = RunEnd::WriteFailed;
        result.error = *commitError;
        batchLost();
        break;
      }
      result.rowsWritten += static_cast<int>(pending.size());
      pending.clear();
      inBatch = 0;
    }
    if (stopNow) {
      result.end = RunEnd::Stopped;
      break;
    }
  }
  if (result.end == RunEnd::Finished)
    report.Log(Jp("処理を終了しました"));
  else if (result.end == RunEnd::Stopped)
    report.Log(run.stoppedLine);
  else
    report.Log(Jp("ライブラリに書き込めないため処理を中止しました -> [ERROR] ") + Utf8ToAnsi(result.error));
  return result;
}

}  // namespace

// A reader holding the library keeps a commit waiting: the batch stays open,
// so the commit is tried again until `waitMs` has passed.
std::optional<std::string> CommitWithRetry(LibraryConnection& db, int waitMs) {
  std::optional<std::string> error = db.Query("COMMIT;");
  for (int waited = 0; error && waited < waitMs && !sqlite3_get_autocommit(db.Handle()) &&
                       (sqlite3_errcode(db.Handle()) & 0xff) == SQLITE_BUSY;
       waited += kCommitRetryMs) {
    SleepMs(kCommitRetryMs);
    error = db.Query("COMMIT;");
  }
  return error;
}

std::string RowSelectSql(const char* column, const RowSelection& selection) {
  std::string sql = "SELECT file_name,title FROM main_table";
  const char* joint = " WHERE ";
  if (selection.machine) {
    sql += joint + ("machine_name='" + Quote(*selection.machine) + "'");
    joint = " AND ";
  }
  // A value never written reads as NULL: it is as empty as ''.
  if (selection.onlyEmpty) sql += joint + ("(" + std::string(column) + " IS NULL OR " + column + "='')");
  return sql + ";";
}

RunResult RunReadings(LibraryConnection& db, const TitleConverter& converter,
                      const ConversionOptions& options, const RowSelection& selection,
                      StopFlag& stop, RunReport& report, int rowsPerCommit, int commitWaitMs) {
  ColumnRun run{"kana",
                [&](const std::string& title) { return converter.Convert(title, options); },
                [](const std::string& title, const std::string& reading, const std::string* error) {
                  std::string line = title + " -> " + reading;
                  return error ? line + " -> [ERROR] " + *error : line;
                },
                Jp("ユーザーからの要求で処理を中止しました")};
  return RunColumn(db, run, selection, stop, report, rowsPerCommit, commitWaitMs);
}

RunResult RunSmartTitles(LibraryConnection& db, const TitleConverter& converter,
                         const RowSelection& selection, StopFlag& stop, RunReport& report,
                         int rowsPerCommit, int commitWaitMs) {
  ColumnRun run{"smart_title",
                [&](const std::string& title) { return SmartTitle(converter, title); },
                [](const std::string& title, const std::string&, const std::string* error) {
                  return error ? title + " -> [ERROR] " + *error : title + " -> OK";
                },
                Jp("ユーザーからの要求で処理を中断しました")};
  return RunColumn(db, run, selection, stop, report, rowsPerCommit, commitWaitMs);
}

std::string WriteFailedText(const RunResult& result) {
  if (result.rowsUnsaved == 0)
    return Jp("ライブラリに書き込めませんでした。それまでに処理したアイテムは保存されています。\n");
  return Jp("ライブラリに書き込めませんでした。保存されたアイテムは ") + std::to_string(result.rowsWritten) +
         Jp(" 件です。\n最後に処理した ") + std::to_string(result.rowsUnsaved) +
         Jp(" 件は保存されていません（ログに示しています）。\n");
}

bool SmartTitlesWaiting(LibraryConnection& db) {
  // A row without a title keeps '' after any fill: it must not ask at every start.
  if (db.Query("SELECT file_name FROM main_table WHERE smart_title='' AND title<>'' LIMIT 1;")) return false;
  return db.RowCount() > 0;
}

std::optional<std::string> ReadSmartTitle(LibraryConnection& db, const std::string& fileName,
                                          std::string& smartTitle) {
  if (auto error = db.Query("SELECT smart_title FROM main_table WHERE file_name='" + Quote(fileName) + "' ;"))
    return error;
  smartTitle = db.RowCount() > 0 ? db.Cell(1, 0) : std::string();
  return std::nullopt;
}

}  // namespace vel
