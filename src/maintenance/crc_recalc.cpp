#include "maintenance/crc_recalc.h"

#include <optional>
#include <vector>

#include "db/library_connection.h"
#include "maintenance/image_crc.h"
#include "maintenance/import_job.h"
#include "maintenance/import_progress.h"
#include "maintenance/maintenance_run.h"
#include "platform/codepage.h"

namespace vel {
namespace {

std::string Q(const std::string& text) { return "'" + Quote(text) + "'"; }

}  // namespace

RecalcSummary RecalculateCrcs(LibraryConnection& db, const RecalcJob& options, ImportProgress& progress,
                              ArchiveLister* archives, int commitWaitMs) {
  RecalcSummary summary;
  if (!options.crc.Any()) return summary;
  if (!options.crcRange.Valid()) {
    progress.Log(Jp("CRCの計算範囲が正しくありません"));
    summary.failed = true;
    return summary;
  }
  std::string select = "SELECT file_name FROM main_table WHERE machine_name=" + Q(options.machine);
  if (options.parentsOnly) select += " AND (ply<2 OR ply='' OR ply IS NULL)";
  if (auto error = db.Query(select + " ORDER BY file_name;")) {
    progress.Log(Jp("メインテーブルを選択できませんでした。") + Utf8ToAnsi(*error));
    summary.failed = true;
    return summary;
  }
  std::vector<std::string> keys;
  for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, 0));
  progress.Range(static_cast<int>(keys.size()));

  // Rows are written in batches; a reader holding the library keeps the
  // commit waiting, and a batch that still cannot be saved is named row by row.
  std::string batch;
  std::vector<std::string> batchKeys;
  auto flush = [&]() {
    if (batchKeys.empty()) return true;
    std::optional<std::string> error = db.Query("BEGIN;\n" + batch);
    if (!error) error = CommitWithRetry(db, commitWaitMs);
    if (error) {
      db.Query("ROLLBACK;");
      for (const std::string& key : batchKeys) progress.Log(Jp("保存されませんでした: ") + key);
      progress.Log(Jp("メインテーブルを更新できませんでした。") + Utf8ToAnsi(*error));
      summary.failed = true;
      return false;
    }
    summary.updated += static_cast<int>(batchKeys.size());
    batch.clear();
    batchKeys.clear();
    return true;
  };

  ImageCrcReader reader(archives);
  for (size_t i = 0; i < keys.size(); ++i) {
    if (progress.StopRequested()) {
      summary.stopped = true;
      break;
    }
    progress.Item(keys[i]);
    progress.Step(static_cast<int>(i) + 1);
    CrcResult crc = reader.Compute(keys[i], options.crcRange, options.crc);
    if (!crc.Ok()) progress.Log(Jp("CRCを計算できませんでした（") + crc.problem + "）: " + keys[i]);
    // Only what was computed is written: an archive holding one kind of CRC
    // gives that one, and the other column keeps its value.
    std::string set;
    if (options.crc.crc32 && !crc.crc32.empty()) set += "crc32=" + Q(crc.crc32) + ", ";
    if (options.crc.crc16 && !crc.crc16.empty()) set += "crc=" + Q(crc.crc16) + ", ";
    if (set.empty()) {
      ++summary.notComputed;
      continue;
    }
    batch += "UPDATE main_table SET " + set + "modify=datetime('now','localtime') WHERE file_name=" +
             Q(keys[i]) + ";\n";
    batchKeys.push_back(keys[i]);
    if (static_cast<int>(batchKeys.size()) >= kRecalcBatchRows && !flush()) return summary;
  }
  flush();
  return summary;
}

std::string RecalcSummaryText(const RecalcSummary& s) {
  std::string head = s.failed ? Jp("エラーで終了しました") : s.stopped ? Jp("中止しました") : Jp("完了しました");
  return head + Jp("（更新 ") + std::to_string(s.updated) + Jp(" 件、計算できず ") +
         std::to_string(s.notComputed) + Jp(" 件）");
}

}  // namespace vel
