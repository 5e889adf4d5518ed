#pragma once
// CSV export and import of the library's items (single images and set
// parents). Export writes a temporary file beside the target and puts it in
// place at the end, so an earlier export is never lost to a full disk.
// Import checks the whole file first (encoding, quotes, field counts,
// lengths, required fields), so a refused file writes nothing; then each
// record is written whole or not at all.
#include <optional>
#include <string>

#include "maintenance/csv_format.h"
#include "maintenance/csv_record_writer.h"
#include "maintenance/maintenance_run.h"

namespace vel {

class TitleConverter;

struct CsvExportRequest {
  std::optional<std::string> machine;  // nothing: every machine
  bool header = true;
  std::string path;  // CP932
};

RunResult RunCsvExport(LibraryConnection& db, const CsvExportRequest& request, StopFlag& stop,
                       RunReport& report);

struct CsvImportRequest {
  std::string path;  // CP932
  bool skipHeader = true;
};

// Every commit of a batch waits for the disk, and under Wine far longer than
// the batch's statements: a batch closes after `rowsPerCommit` records only
// once it has been open `batchMs` (a stop or the end closes it at once).
inline constexpr int kImportBatchMs = 1000;

RunResult RunCsvImport(LibraryConnection& db, const TitleConverter& converter, const CsvImportRequest& request,
                       StopFlag& stop, RunReport& report, int rowsPerCommit = kRowsPerCommit,
                       int commitWaitMs = kCommitWaitMs, int batchMs = kImportBatchMs);

// The question before the first new key is imported (CP932).
std::string NewKeyQuestion(const std::string& key);

}  // namespace vel
