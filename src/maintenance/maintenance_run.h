#pragma once
// The runs of the maintenance dialog that rewrite one column of main_table row
// by row (readings, smart titles). Each gets a connection of its own, the
// dialog's stop flag and something to report to; rows are committed in
// batches, so a stop or a failure keeps every row written before it.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace vel {

class LibraryConnection;
class TitleConverter;
struct ConversionOptions;

// The operations of the maintenance dialog, by their numbers.
enum class MaintenanceOperation : int {
  RemoveMissingImages = 0,
  Readings = 1,
  FillSmartTitles = 2,
  RebuildSmartTitles = 3,
  ReplaceColumnValue = 4,
  ExportCsv = 5,
  ImportCsv = 6,
  EmulatorSettingUse = 7,
};

// Shared by the dialog and its worker: the dialog clears it and alone asks for
// a stop; the worker's thread marks the end.
enum StopState : std::uint16_t { kRunRunning = 0, kRunStopRequested = 1, kRunEnded = 2 };
using StopFlag = std::atomic<std::uint16_t>;

// Where a run reports (the dialog's log list and progress bar). Called on the
// worker's thread.
class RunReport {
 public:
  virtual ~RunReport() = default;
  virtual void Log(const std::string& line) = 0;  // CP932
  virtual void StartProgress(int total) = 0;
  virtual void StepProgress() = 0;
  // A question or a message shown over the dialog while the run goes on;
  // returns the answer (kIdYes, kIdNo, kIdOk).
  virtual int Ask(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

// A message shown when the run has ended (CP932).
struct RunMessage {
  std::string text, caption;
  unsigned flags = 0;
};

enum class RunEnd { Finished, Stopped, NoRows, SelectFailed, WriteFailed };

struct RunResult {
  RunEnd end = RunEnd::Finished;
  std::string error;    // the database's text (UTF-8) for SelectFailed and WriteFailed
  int rowsWritten = 0;  // committed rows
  int rowsFailed = 0;   // rows whose statement failed; the run went on
  int rowsUnsaved = 0;  // rows written into a batch the database then undid
  bool libraryChanged = false;         // the item list is reloaded
  std::optional<RunMessage> message;   // shown instead of the usual end message
};

// The rows a run visits: one machine's or all; only those with an empty value.
struct RowSelection {
  std::optional<std::string> machine;  // nothing: every machine
  bool onlyEmpty = false;
};

// "SELECT file_name,title FROM main_table ..." for the column's rows.
std::string RowSelectSql(const char* column, const RowSelection& selection);

inline constexpr int kRowsPerCommit = 200;
// How long a commit held off by a reader is tried again (the busy timeout).
inline constexpr int kCommitWaitMs = 10000;

// COMMIT, tried again while a reader holds the library (up to `waitMs`).
std::optional<std::string> CommitWithRetry(LibraryConnection& db, int waitMs);

// Writes the reading of every selected row into `kana`.
RunResult RunReadings(LibraryConnection& db, const TitleConverter& converter,
                      const ConversionOptions& options, const RowSelection& selection,
                      StopFlag& stop, RunReport& report, int rowsPerCommit = kRowsPerCommit,
                      int commitWaitMs = kCommitWaitMs);

// Writes the smart title of every selected row into `smart_title`.
RunResult RunSmartTitles(LibraryConnection& db, const TitleConverter& converter,
                         const RowSelection& selection, StopFlag& stop, RunReport& report,
                         int rowsPerCommit = kRowsPerCommit, int commitWaitMs = kCommitWaitMs);

// True when rows wait for their smart title ('' as an older import left it),
// so the fill runs at start and goes on where a stopped fill ended. A row
// never given a value (NULL) is left to the fill itself: it is no trace of an
// import, nor is a row without a title (its smart title stays ''). False as
// well when the table cannot be read.
bool SmartTitlesWaiting(LibraryConnection& db);

// The first lines of the message after a run that could not write (CP932).
// Rows of a batch the database undid are never said to be kept.
std::string WriteFailedText(const RunResult& result);

// The stored smart title of one item ("" when it has none). Returns the
// database's error text on failure.
std::optional<std::string> ReadSmartTitle(LibraryConnection& db, const std::string& fileName,
                                          std::string& smartTitle);

}  // namespace vel
