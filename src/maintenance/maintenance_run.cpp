#include "maintenance/maintenance_run.h"

#include <sqlite3.h>

#include <functional>
#include <utility>
#include <vector>

#include "db/library_connection.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"

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

RunResult RunColumn(LibraryConnection& db, const ColumnRun& run, const RowSelection& selection,
                    StopFlag& stop, RunReport& report, int rowsPerCommit) {
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
  int inBatch = 0, pending = 0;
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
        pending = inBatch = 0;
        break;
      }
    } else {
      ++pending;
      report.Log(run.logLine(title, value, nullptr));
    }
    bool stopNow = stop.load() == kRunStopRequested;
    if (inBatch == rowsPerCommit || stopNow || i + 1 == rows.size()) {
      if (auto commitError = db.Query("COMMIT;")) {
        db.Query("ROLLBACK;");
        result.end = RunEnd::WriteFailed;
        result.error = *commitError;
        pending = inBatch = 0;
        break;
      }
      result.rowsWritten += pending;
      pending = inBatch = 0;
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
                      StopFlag& stop, RunReport& report, int rowsPerCommit) {
  ColumnRun run{"kana",
                [&](const std::string& title) { return converter.Convert(title, options); },
                [](const std::string& title, const std::string& reading, const std::string* error) {
                  std::string line = title + " -> " + reading;
                  return error ? line + " -> [ERROR] " + *error : line;
                },
                Jp("ユーザーからの要求で処理を中止しました")};
  return RunColumn(db, run, selection, stop, report, rowsPerCommit);
}

RunResult RunSmartTitles(LibraryConnection& db, const TitleConverter& converter,
                         const RowSelection& selection, StopFlag& stop, RunReport& report,
                         int rowsPerCommit) {
  ColumnRun run{"smart_title",
                [&](const std::string& title) { return SmartTitle(converter, title); },
                [](const std::string& title, const std::string&, const std::string* error) {
                  return error ? title + " -> [ERROR] " + *error : title + " -> OK";
                },
                Jp("ユーザーからの要求で処理を中断しました")};
  return RunColumn(db, run, selection, stop, report, rowsPerCommit);
}

std::optional<std::string> ReadSmartTitle(LibraryConnection& db, const std::string& fileName,
                                          std::string& smartTitle) {
  if (auto error = db.Query("SELECT smart_title FROM main_table WHERE file_name='" + Quote(fileName) + "' ;"))
    return error;
  smartTitle = db.RowCount() > 0 ? db.Cell(1, 0) : std::string();
  return std::nullopt;
}

}  // namespace vel
