#pragma once
// Replacement of a text inside one column of the library's rows, of one
// machine or of all: maker, developer, version, country, or the key itself,
// the image path, which is how a moved image folder is followed. A key
// replacement carries every reference (the other tables, the set children's
// parent links, the alter egos' parent links) to the new key in the same
// transaction; it all happens or nothing does.
#include <optional>
#include <string>

#include "maintenance/maintenance_run.h"

namespace vel {

struct ReplaceTarget {
  const char* label;  // UTF-8, as the list "対象" shows it
  const char* column;
};
inline constexpr ReplaceTarget kReplaceTargets[] = {
    {"プライマリキー（イメージパス）", "file_name"},
    {"メーカー", "maker"},
    {"開発元", "developer"},
    {"バージョン/コメント", "version"},
    {"国", "country"},
};
inline constexpr int kReplaceTargetCount = 5;

struct ReplaceRequest {
  std::optional<std::string> machine;  // nothing: every machine
  std::string machineText;             // as the machine list shows it (CP932)
  int target = 0;                      // index into kReplaceTargets
  std::string oldText, newText;        // CP932, taken literally
};

// Why the request cannot run (shown before anything is read), or nothing.
std::optional<RunMessage> RefuseReplacement(const ReplaceRequest& request, bool emulatorRunning);

// The log lines before the question, and the question (CP932).
std::string ReplacementSummary(const ReplaceRequest& request);
std::string ReplacementQuestion();

// Lists each distinct value that would change with its new form; writes nothing.
RunResult RunReplacementTest(LibraryConnection& db, const ReplaceRequest& request, StopFlag& stop,
                             RunReport& report);

// Runs the replacement in one transaction; it is not stopped once started.
RunResult RunReplacement(LibraryConnection& db, const ReplaceRequest& request, RunReport& report,
                         int commitWaitMs = kCommitWaitMs);

}  // namespace vel
