#include "maintenance/csv_exchange.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <unordered_set>
#include <vector>

#include "db/library_connection.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/system.h"

namespace vel {
namespace {

constexpr std::int64_t kImportFileLimit = std::int64_t{1} << 30;
constexpr size_t kWriteChunk = 1 << 20;

RunMessage OpenFailed() {
  return RunMessage{Jp("ファイルオープンに失敗しました。\nCSVファイルパスの指定を確認してください。"), Jp("エラー"),
                    kMbOk | kMbIconError};
}

RunResult Ended(RunEnd end, std::optional<RunMessage> message = std::nullopt) {
  RunResult result;
  result.end = end;
  result.message = std::move(message);
  return result;
}

std::string ExportSelectSql(const std::optional<std::string>& machine) {
  std::string sql = "SELECT ";
  for (int f = 0; f < kCsvFieldCount; ++f) {
    const char* table = f == kCsvCreator ? "cr." : f >= kCsvFirstSpecField ? "sc." : "m.";
    sql += std::string(f ? "," : "") + table + kCsvColumns[f].column;
  }
  sql += " FROM main_table m LEFT JOIN spec_table sc ON m.file_name=sc.pfile_sc "
         "LEFT JOIN creator_table cr ON m.file_name=cr.pfile_cr WHERE ";
  if (machine) sql += "m.machine_name='" + Quote(*machine) + "' AND ";
  sql += "(m.ply IS NULL OR m.ply='' OR m.ply='0' OR m.ply='1') ";
  sql += machine ? "ORDER BY m.title, m.maker ;" : "ORDER BY m.machine_name, m.title, m.maker ;";
  return sql;
}

}  // namespace

RunResult RunCsvExport(LibraryConnection& db, const CsvExportRequest& request, StopFlag& stop, RunReport& report) {
  const std::string sql = AnsiToUtf8(ExportSelectSql(request.machine));
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    std::string error = sqlite3_errmsg(db.Handle());
    return Ended(RunEnd::SelectFailed, RunMessage{Utf8ToAnsi(error), Jp("エラー"), kMbOk | kMbIconError});
  }
  // The rows to come, for the progress bar.
  std::string countSql = "SELECT count(*) FROM (" + ExportSelectSql(request.machine);
  countSql.erase(countSql.rfind(" ORDER BY"));
  if (!db.Query(countSql + ");")) report.StartProgress(std::atoi(db.Cell(1, 0).c_str()));

  const std::string temporary = request.path + ".part";
  OutputFile file;
  if (DirectoryExists(request.path) || !file.Create(temporary)) {
    sqlite3_finalize(statement);
    report.Log(Jp("ファイルオープンに失敗しました。"));
    report.Log(Jp("CSVファイルパスの指定を確認してください。"));
    return Ended(RunEnd::WriteFailed, OpenFailed());
  }
  std::string buffer;
  bool written = true;
  auto flush = [&] {
    if (!buffer.empty()) written = written && file.Write(buffer.data(), buffer.size());
    buffer.clear();
  };
  if (request.header) buffer += CsvHeaderLine();
  RunResult result;
  std::vector<std::string> fields(kCsvFieldCount);
  int step;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
    // The line is built in the stored UTF-8 (every character the quoting
    // looks at is ASCII) and converted once.
    for (int f = 0; f < kCsvFieldCount; ++f) {
      const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, f));
      std::string value = text ? text : "";
      std::string shown = CsvFieldText(value);
      if ((f == kCsvAdult || f == kCsvSaleYear) && shown == value) shown = CsvShortDate(value);
      fields[static_cast<size_t>(f)] = std::move(shown);
    }
    const std::string utf8 = CsvLine(fields);
    std::string line = Utf8ToAnsi(utf8);
    // A character without a CP932 form came out as "?".
    if (std::count(line.begin(), line.end(), '?') > std::count(utf8.begin(), utf8.end(), '?'))
      report.Log(Jp("Shift-JIS にない文字を ? で書き出しました：") + Utf8ToAnsi(fields[kCsvFileName]));
    buffer += line;
    if (buffer.size() >= kWriteChunk) flush();
    const char* machine = reinterpret_cast<const char*>(sqlite3_column_text(statement, kCsvMachine));
    const char* title = reinterpret_cast<const char*>(sqlite3_column_text(statement, kCsvTitle));
    report.Log(Utf8ToAnsi(std::string(machine ? machine : "") + " > " + (title ? title : "")));
    report.StepProgress();
    ++result.rowsWritten;
    if (stop.load() == kRunStopRequested) {
      result.end = RunEnd::Stopped;
      break;
    }
  }
  std::string stepError = step == SQLITE_ROW || step == SQLITE_DONE ? "" : sqlite3_errmsg(db.Handle());
  sqlite3_finalize(statement);
  flush();
  written = file.Close() && written;
  // Only a whole file replaces the earlier export.
  if (!stepError.empty() || !written || !ReplaceWithFile(temporary, request.path)) {
    RemoveFile(temporary);
    report.Log(Jp("ファイルに書き込めませんでした。"));
    std::string text = stepError.empty() ? Jp("CSVファイルに書き込めませんでした。\n書き込み先の空き容量と書き込み権限を確認してください。\n") + request.path
                                         : Jp("メインテーブルを読み出せませんでした。\n") + Utf8ToAnsi(stepError);
    return Ended(RunEnd::WriteFailed, RunMessage{text, Jp("エラー"), kMbOk | kMbIconError});
  }
  report.Log(result.end == RunEnd::Stopped ? Jp("ユーザーからの要求で処理を中止しました。") : Jp("処理を終了しました。"));
  return result;
}

std::string NewKeyQuestion(const std::string& key) {
  return Jp("新規プライマリキーがインポートされようとしています。\n\n以降の新規プライマリキーを全てインポートしますか？\n"
            "（いいえでスキップ）\n\n--> ") +
         key;
}

RunResult RunCsvImport(LibraryConnection& db, const TitleConverter& converter, const CsvImportRequest& request,
                       StopFlag& stop, RunReport& report, int rowsPerCommit, int commitWaitMs, int batchMs) {
  auto refused = [&](const CsvProblem& problem) {
    report.Log(problem.log);
    report.Log(Jp("処理を中止しました。"));
    return Ended(RunEnd::WriteFailed,
                 RunMessage{problem.message, problem.caption.empty() ? Jp("エラー") : problem.caption,
                            kMbOk | (problem.caption == Jp("確認") ? kMbIconInformation : kMbIconWarning)});
  };
  // The whole file first: nothing is written from a file that is refused.
  InputFile file;
  std::string bytes;
  if (!file.Open(request.path) || file.Size() > kImportFileLimit) {
    report.Log(Jp("ファイルオープンに失敗しました。"));
    report.Log(Jp("CSVファイルパスの指定を確認してください。"));
    return Ended(RunEnd::WriteFailed, OpenFailed());
  }
  bytes.resize(static_cast<size_t>(file.Size()));
  if (!bytes.empty() && !file.ReadExactly(0, bytes.data(), bytes.size())) {
    report.Log(Jp("ファイルオープンに失敗しました。"));
    return Ended(RunEnd::WriteFailed, OpenFailed());
  }
  file.Close();
  if (auto problem = CheckShiftJis(bytes)) return refused(*problem);
  std::vector<CsvRecord> records;
  if (auto problem = ReadCsvRecords(bytes, records)) return refused(*problem);
  bytes.clear();
  bytes.shrink_to_fit();
  if (request.skipHeader && !records.empty() && records.front().line == 1) records.erase(records.begin());
  for (const CsvRecord& record : records)
    if (auto problem = CheckCsvRecord(record)) return refused(*problem);

  // Which keys are new, and the one answer for all of them, before any write.
  if (auto error = db.Query("SELECT file_name FROM main_table;"))
    return Ended(RunEnd::SelectFailed);
  std::unordered_set<std::string> keys;
  keys.reserve(static_cast<size_t>(db.RowCount()) * 2);
  for (int row = 1; row <= db.RowCount(); ++row) keys.insert(db.Cell(row, 0));
  std::optional<bool> importNew;
  std::vector<char> isNew(records.size(), 0);
  for (size_t i = 0; i < records.size(); ++i) {
    const std::string& key = records[i].fields[kCsvFileName];
    if (keys.count(key)) continue;
    isNew[i] = 1;
    keys.insert(key);  // a key twice in the file is new once
    if (!importNew)
      importNew = report.Ask(NewKeyQuestion(key), Jp("新規プライマリキー"), kMbYesNo | kMbIconQuestion) == kIdYes;
  }

  RunResult result;
  // Parsed once for the run; each record binds its values.
  CsvRecordWriter writer;
  if (auto error = writer.Prepare(db)) {
    result.end = RunEnd::WriteFailed;
    result.error = *error;
    result.message = RunMessage{Jp("データベース更新エラー。\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError};
    report.Log(Jp("処理を中止しました。"));
    return result;
  }
  report.StartProgress(static_cast<int>(records.size()));
  int inBatch = 0;
  bool open = false;  // a batch transaction is open
  std::chrono::steady_clock::time_point batchBegun;
  auto fail = [&](const std::string& error) {
    result.end = RunEnd::WriteFailed;
    result.error = error;
    result.message = RunMessage{Jp("データベース更新エラー。\n") + Utf8ToAnsi(error), Jp("DBエラー"), kMbOk | kMbIconError};
  };
  for (size_t i = 0; i < records.size() && result.end == RunEnd::Finished; ++i) {
    const CsvRecord& record = records[i];
    const std::string& key = record.fields[kCsvFileName];
    report.StepProgress();
    report.Log(key);
    if (isNew[i] && !*importNew) {
      report.Log(Jp("  ... スキップします。"));
    } else {
      if (!open) {
        if (auto error = db.Query("BEGIN IMMEDIATE;")) {
          fail(*error);
          break;
        }
        open = true;
        batchBegun = std::chrono::steady_clock::now();
      }
      if (auto error = writer.Write(record, converter, isNew[i])) {
        report.Log(Jp("  ... インポートできませんでした。"));
        if (sqlite3_get_autocommit(db.Handle())) {
          // The database undid the whole batch.
          result.rowsUnsaved = inBatch;
          inBatch = 0;
          open = false;
        } else {
          db.Query("ROLLBACK TO csv_record; RELEASE csv_record;");
        }
        fail(*error);
      } else {
        ++inBatch;
      }
    }
    bool stopNow = stop.load() == kRunStopRequested;
    const bool batchFull = inBatch >= rowsPerCommit &&
                           std::chrono::steady_clock::now() - batchBegun >= std::chrono::milliseconds(batchMs);
    if (open && (batchFull || stopNow || i + 1 == records.size() || result.end != RunEnd::Finished)) {
      if (auto error = CommitWithRetry(db, commitWaitMs)) {
        db.Query("ROLLBACK;");
        result.rowsUnsaved += inBatch;
        inBatch = 0;
        open = false;
        fail(*error);
        break;
      }
      result.rowsWritten += inBatch;
      inBatch = 0;
      open = false;
    }
    if (stopNow && result.end == RunEnd::Finished) result.end = RunEnd::Stopped;
  }
  result.libraryChanged = result.rowsWritten > 0;
  report.Log(result.end == RunEnd::Finished  ? Jp("全ての処理を終了しました。")
             : result.end == RunEnd::Stopped ? Jp("ユーザーからの要求で処理を中止しました。")
                                             : Jp("処理を中止しました。"));
  return result;
}

}  // namespace vel
