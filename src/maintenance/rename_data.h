#pragma once
// Rename data: fills one machine's items from list data through a plug-in.
// The test mode shows the first matches and writes nothing; the update mode
// writes in batches (one transaction every kRowsPerCommit rows, each row whole
// or not at all) and touches only the columns the plug-in found.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "maintenance/maintenance_run.h"
#include "maintenance/rename_plugin.h"

namespace vel {

class TitleConverter;

// Keys in the order of the dialog's key list (CRC32 first, as it opens).
struct RenameKeyChoice {
  const char* text;  // UTF-8; Jp() for the list
  RenameKeyType type;
};
inline constexpr int kRenameKeyChoiceCount = 4;
const RenameKeyChoice& RenameKeyChoiceAt(int index);
inline constexpr int kRenameDefaultKey = 1;  // "CRC32"

inline constexpr std::int64_t kListDataLimit = std::int64_t{1} << 30;
inline constexpr int kRenameTestMatches = 100;

// Reads list data whole, NUL-terminated: a plain file, or from a ZIP the
// first member whose name ends in "xml" (sub-folders included). On failure
// returns the status text (CP932) and leaves `data` empty.
std::optional<std::string> LoadListData(const std::string& path, std::vector<char>& data);

struct RenameRequest {
  std::string machine;  // CP932
  std::string listPath;
  int keyChoice = kRenameDefaultKey;
  std::array<bool, kRenameFieldCount> ticked{};
  bool testOnly = false;
};

// Where a run reports; called on the worker's thread.
class RenameReport {
 public:
  virtual ~RenameReport() = default;
  virtual void Status(const std::string& text) = 0;  // "処理内容"
  virtual void Key(const std::string& key) = 0;      // "検索中キー"
  virtual void StartProgress(int total) = 0;         // 0: a running bar (test mode)
  virtual void StepProgress() = 0;
  // A test-mode line: the key and the 21 values as shown.
  virtual void TestRow(const std::vector<std::string>& cells) = 0;
  virtual int Ask(const std::string& text, const std::string& caption, unsigned flags) = 0;
};

struct RenameResult {
  RunEnd end = RunEnd::Finished;
  int rows = 0;        // rows of the machine visited for the key
  int matches = 0;     // test mode: rows listed; update mode: rows written
  int rowsFailed = 0;  // rows whose statements failed; the run went on
  bool libraryChanged = false;
  std::optional<RunMessage> message;  // shown over the progress dialog
};

// Everything the plug-in found for one key, as written.
struct RenameValues {
  std::array<std::optional<std::string>, kRenameFieldCount> text;  // text fields found
  std::array<int, kRenameFieldCount> number;                       // number fields (negative: none)
  bool found = false;                                              // any ticked field found
};

RenameValues LookUpKey(const RenamePlugin& plugin, const char* list, const std::string& key, std::int16_t keyType,
                       const std::array<bool, kRenameFieldCount>& ticked);
// The sale date as stored (yyyy-mm-dd), or nothing when the plug-in's text is
// not a date of the shapes "yyyy", "yyyy-mm", "yyyy-mm-dd".
std::optional<std::string> PluginSaleDate(const std::string& text);
// The statements writing one row's values: the main columns found, and
// upserts of the spec_table columns found, the creator and the memo (SQL, CP932).
std::string RenameRowSql(const std::string& image, const RenameValues& values, const TitleConverter* converter);
// The test list's cells for a key.
std::vector<std::string> RenameTestCells(const std::string& key, const RenameValues& values);

RenameResult RunRenameData(LibraryConnection& db, const RenamePlugin& plugin, const TitleConverter* converter,
                           const RenameRequest& request, StopFlag& stop, RenameReport& report,
                           int rowsPerCommit = kRowsPerCommit, int commitWaitMs = kCommitWaitMs);

}  // namespace vel
